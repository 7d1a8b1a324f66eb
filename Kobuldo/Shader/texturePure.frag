#version 330 core
// Start, win and lose pictures, drawn as they are.
in vec2 uv;

uniform sampler2D renderedTexture;

out vec4 fragColor;

void main() {
    fragColor = vec4(texture(renderedTexture, uv).rgb, 1.0);
}
