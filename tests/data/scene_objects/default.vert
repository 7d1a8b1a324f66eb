#version 330 core
// Test stand-in for the default program (rings, light marker).
in vec3 position;
in vec3 normal;
in vec2 uv;
uniform mat4 view_proj;
uniform mat4 model;
out vec2 vUv;
out vec3 vNormal;
void main() {
    gl_Position = view_proj * model * vec4(position, 1.0);
    vUv = uv;
    vNormal = normal;
}
