#version 330 core
// Lit a little from the sky; it glows, so it shows from afar.
in vec3 worldNormal;

uniform vec3 color;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

const vec3 skyLight = normalize(vec3(0.35, 1.0, 0.25));

void main() {
    float diffuse = max(dot(normalize(worldNormal), skyLight), 0.0);
    fragColor = vec4(color * (0.55 + 0.45 * diffuse), 1.0);
    glowColor = vec4(color * 0.6, 1.0);
}
