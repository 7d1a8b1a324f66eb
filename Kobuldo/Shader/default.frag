#version 330 core
// Bright parts of the texture shine by themselves and feed the glow output.
in vec3 worldNormal;
in vec2 texCoord;

uniform sampler2D color_texture;
// the editor's mark of a selected ring; zero elsewhere
uniform vec3 tint;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

const vec3 skyLight = normalize(vec3(0.35, 1.0, 0.25));

void main() {
    vec3 base = texture(color_texture, texCoord).rgb;
    vec3 n = normalize(worldNormal);
    float diffuse = max(dot(n, skyLight), 0.0);
    vec3 lit = base * (0.45 + 0.65 * diffuse);
    float luminance = dot(base, vec3(0.299, 0.587, 0.114));
    float emissive = smoothstep(0.62, 0.9, luminance);
    vec3 color = mix(lit, base * 1.1, emissive);
    fragColor = vec4(max(color + tint, 0.0), 1.0);
    glowColor = vec4(base * emissive, 1.0);
}
