#version 330 core
in vec2 uv;
in vec4 particleColor;

uniform sampler2D sampler;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 glowColor;

void main() {
    vec4 texel = texture(sampler, uv);
    vec4 color = texel * particleColor;
    // the sparks are faint on their own; let them bloom
    color.a = min(color.a * 2.2, 1.0);
    fragColor = color;
    glowColor = vec4(color.rgb * 0.9, color.a);
}
