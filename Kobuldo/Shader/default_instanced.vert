#version 330 core
// The lamps of the pieces in one instanced draw: as default.vert, with the
// model matrix given per instance.
in vec3 position;
in vec3 normal;
in vec2 uv;
in mat4 instanceModel;

uniform mat4 view_proj;

out vec3 worldNormal;
out vec2 texCoord;

void main() {
    worldNormal = mat3(instanceModel) * normal;
    texCoord = uv;
    gl_Position = view_proj * instanceModel * vec4(position, 1.0);
}
