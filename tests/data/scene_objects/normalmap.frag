#version 330 core
in vec2 vUv;
in vec3 vFrame;
uniform sampler2D DiffuseTextureSampler;
uniform sampler2D NormalTextureSampler;
out vec4 fragColor;
void main() {
    vec4 t = texture(DiffuseTextureSampler, vUv) + texture(NormalTextureSampler, vUv);
    fragColor = vec4(1.0, 0.5, 0.25, 1.0) + 0.0001 * (t + vec4(vFrame, 0.0));
}
