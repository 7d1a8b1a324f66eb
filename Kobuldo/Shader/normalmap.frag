#version 330 core
in vec3 worldPos;
in vec2 texCoord;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec4 shadowCoord;
in vec3 eyePos;
flat in vec3 lampWorld; // the piece's lamp
flat in vec3 pieceTint; // the editor's mark, added last

uniform sampler2D DiffuseTextureSampler;
uniform sampler2D NormalTextureSampler;
uniform sampler2DShadow shadowMap;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

// The sun sits where the shadow map looks from: almost straight above.
const vec3 sunDir = normalize(vec3(1.0, 120.0, 1.0));
const vec3 sunColor = vec3(0.80, 0.82, 0.88);
const vec3 lampColor = vec3(1.00, 0.80, 0.52);
const vec3 skyAmbient = vec3(0.36, 0.42, 0.55);
const vec3 groundAmbient = vec3(0.24, 0.20, 0.17);
const vec3 fogColor = vec3(0.78, 0.86, 0.95);

// Soft shadow: five comparisons around the point, spread over a few texels.
float sunVisibility(vec3 n) {
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    if (c.x <= 0.0 || c.x >= 1.0 || c.y <= 0.0 || c.y >= 1.0 || c.z >= 1.0)
        return 1.0;
    float cosTheta = clamp(dot(n, sunDir), 0.05, 1.0);
    float bias = clamp(0.0004 + 0.0008 * sqrt(1.0 - cosTheta * cosTheta) / cosTheta, 0.0004, 0.004);
    float texel = 1.0 / 2048.0;
    float ref = c.z - bias;
    float sum = texture(shadowMap, vec3(c.xy, ref)) * 2.0;
    sum += texture(shadowMap, vec3(c.xy + vec2(-1.3, -0.6) * texel, ref));
    sum += texture(shadowMap, vec3(c.xy + vec2(0.6, -1.3) * texel, ref));
    sum += texture(shadowMap, vec3(c.xy + vec2(1.3, 0.6) * texel, ref));
    sum += texture(shadowMap, vec3(c.xy + vec2(-0.6, 1.3) * texel, ref));
    return sum / 6.0;
}

void main() {
    vec3 albedo = texture(DiffuseTextureSampler, texCoord).rgb;
    vec3 bump = texture(NormalTextureSampler, texCoord).rgb * 2.0 - 1.0;
    vec3 n0 = normalize(worldNormal);
    vec3 t = worldTangent - n0 * dot(n0, worldTangent);
    vec3 b = worldBitangent - n0 * dot(n0, worldBitangent);
    float tl = length(t);
    float bl = length(b);
    vec3 n = n0;
    if (tl > 1e-5 && bl > 1e-5)
        n = normalize(mat3(t / tl, b / bl, n0) * bump);

    vec3 toEye = normalize(eyePos - worldPos);

    // the piece's own lamp, circling above it
    vec3 toLamp = lampWorld - worldPos;
    float lampDist = length(toLamp);
    toLamp /= lampDist;
    float lampFall = 1.0 / (1.0 + 0.008 * lampDist * lampDist);
    float lampDiffuse = max(dot(n, toLamp), 0.0) * lampFall;
    vec3 halfLamp = normalize(toLamp + toEye);
    float lampSpec = pow(max(dot(n, halfLamp), 0.0), 24.0) * lampFall * 0.25;

    // the lamps hang high above as well, so whatever shades the sun also
    // takes most of the lamp's light: the ball gets a clear shadow
    float visible = sunVisibility(n0);
    float sun = max(dot(n, sunDir), 0.0) * visible;
    float lampShade = mix(0.3, 1.0, visible);
    vec3 ambient = mix(groundAmbient, skyAmbient, n.y * 0.5 + 0.5);

    vec3 color = albedo * (ambient + sunColor * sun * 0.95 + lampColor * lampDiffuse * 1.0 * lampShade)
               + lampColor * lampSpec * visible;

    float dist = length(eyePos - worldPos);
    color = mix(color, fogColor, smoothstep(35.0, 100.0, dist) * 0.55);
    color = max(color + pieceTint, 0.0);

    fragColor = vec4(color, 1.0);
    glowColor = vec4(0.0);
}
