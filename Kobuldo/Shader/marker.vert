#version 330 core
// The course check's fall marker: flat-shaded, one colour.
in vec3 position;
in vec3 normal;

uniform mat4 view_proj;
uniform mat4 model;

out vec3 worldNormal;

void main() {
    worldNormal = mat3(model) * normal;
    gl_Position = view_proj * model * vec4(position, 1.0);
}
