#version 330 core
// Final composition: the sharp scene plus its blurred glow.
in vec2 uv;

uniform sampler2D renderedTexture;
uniform sampler2D gaussianTexture;

out vec4 fragColor;

void main() {
    vec3 scene = texture(renderedTexture, uv).rgb;
    vec3 glow = texture(gaussianTexture, uv).rgb;
    vec3 color = scene + glow * 1.35;
    // soft shoulder instead of a hard clip where glow piles up
    color = color / (1.0 + max(color - 1.0, 0.0));
    fragColor = vec4(color, 1.0);
}
