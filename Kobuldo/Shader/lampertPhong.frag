#version 330 core
// Lambert diffuse and a Phong-style highlight, plus a rim of sky light so the
// ball stands out against the track.
in vec3 worldPos;
in vec2 texCoord;
in vec3 worldNormal;
in vec3 worldTangent;
in vec3 worldBitangent;
in vec4 shadowCoord;
in vec3 eyePos;

uniform sampler2D DiffuseTextureSampler;
uniform sampler2D NormalTextureSampler;
uniform sampler2DShadow shadowMap;
uniform vec3 lightPosWorld;
// 1 draws the ghost of the best run: pale, bluish and see-through
uniform float ghost;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

const vec3 sunDir = normalize(vec3(1.0, 120.0, 1.0));
const vec3 sunColor = vec3(0.80, 0.82, 0.88);
const vec3 lampColor = vec3(1.00, 0.92, 0.80);
const vec3 skyAmbient = vec3(0.40, 0.46, 0.60);
const vec3 groundAmbient = vec3(0.22, 0.19, 0.16);
const vec3 rimColor = vec3(0.55, 0.70, 1.00);

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
    vec3 toLight = normalize(lightPosWorld - worldPos);

    float lambert = max(dot(n, toLight), 0.0);
    vec3 reflected = reflect(-toLight, n);
    float phong = pow(max(dot(reflected, toEye), 0.0), 48.0);

    float sun = max(dot(n, sunDir), 0.0) * sunVisibility(n0);
    vec3 ambient = mix(groundAmbient, skyAmbient, n.y * 0.5 + 0.5);
    float rim = pow(1.0 - max(dot(n, toEye), 0.0), 3.0);

    vec3 color = albedo * (ambient + lampColor * lambert * 0.9 + sunColor * sun * 0.35)
               + lampColor * phong * 0.7 + rimColor * rim * 0.35;

    if (ghost > 0.5) {
        // the outline stays readable, the middle lets the track show through
        vec3 pale = mix(color, vec3(0.80, 0.90, 1.00), 0.6);
        fragColor = vec4(pale, 0.45 + 0.45 * rim);
        glowColor = vec4(0.0);
        return;
    }
    fragColor = vec4(color, 1.0);
    // the highlight blooms a little
    glowColor = vec4(lampColor * phong * 0.35, 1.0);
}
