#version 330 core
in vec2 vUv;
in vec3 vNormal;
uniform sampler2D color_texture;
out vec4 fragColor;
void main() {
    fragColor = vec4(0.25, 1.0, 0.5, 1.0) + 0.0001 * (texture(color_texture, vUv) + vec4(vNormal, 0.0));
}
