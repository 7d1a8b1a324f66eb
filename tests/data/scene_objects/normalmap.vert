#version 330 core
// Test stand-in for the normal-mapped programs: every attribute and uniform
// the pieces, ball and head use is live.
in vec3 position;
in vec3 normal;
in vec2 uv;
in vec3 tangent;
in vec3 bitangent;
uniform mat4 M;
uniform vec3 lightPosWorld;
out vec2 vUv;
out vec3 vFrame;
void main() {
    gl_Position = M * vec4(position, 1.0);
    vUv = uv;
    vFrame = normal + tangent + bitangent + lightPosWorld;
}
