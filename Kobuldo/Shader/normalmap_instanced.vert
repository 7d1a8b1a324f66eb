#version 330 core
// Track pieces of one kind in one instanced draw: as normalmap.vert, with the
// model matrix, the lamp's position and the tint given per instance instead of as
// uniforms.
in vec3 position;
in vec3 normal;
in vec2 uv;
in vec3 tangent;
in vec3 bitangent;
in mat4 instanceModel;
in vec3 instanceLamp;
in vec3 instanceTint; // the editor's mark: zero, selected or cutting into another

uniform mat4 P;
uniform mat4 V;
uniform mat4 depthBiasVP;

out vec3 worldPos;
out vec2 texCoord;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec4 shadowCoord;
out vec3 eyePos;
flat out vec3 lampWorld;
flat out vec3 pieceTint;

void main() {
    vec4 world = instanceModel * vec4(position, 1.0);
    mat3 m3 = mat3(instanceModel);
    worldPos = world.xyz;
    texCoord = uv;
    worldNormal = m3 * normal;
    worldTangent = m3 * tangent;
    worldBitangent = m3 * bitangent;
    shadowCoord = depthBiasVP * world;
    // camera position from the rigid view matrix
    eyePos = -transpose(mat3(V)) * V[3].xyz;
    lampWorld = instanceLamp;
    pieceTint = instanceTint;
    gl_Position = P * V * world;
}
