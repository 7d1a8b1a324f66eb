#version 330 core
// Rings and lamps: textured, simply lit.
in vec3 position;
in vec3 normal;
in vec2 uv;

uniform mat4 view_proj;
uniform mat4 model;

out vec3 worldNormal;
out vec2 texCoord;

void main() {
    worldNormal = mat3(model) * normal;
    texCoord = uv;
    gl_Position = view_proj * model * vec4(position, 1.0);
}
