#version 330 core
// Track pieces: normal-mapped wood lit by the piece's lamp and by the sun,
// with the sun's shadow map.
in vec3 position;
in vec3 normal;
in vec2 uv;
in vec3 tangent;
in vec3 bitangent;

uniform mat4 P;
uniform mat4 V;
uniform mat4 M;
uniform mat4 depthBiasVP;
uniform vec3 lightPosWorld;
// the editor's mark of a selected or cutting piece; zero elsewhere
uniform vec3 tint;

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
    vec4 world = M * vec4(position, 1.0);
    mat3 m3 = mat3(M);
    worldPos = world.xyz;
    texCoord = uv;
    worldNormal = m3 * normal;
    worldTangent = m3 * tangent;
    worldBitangent = m3 * bitangent;
    shadowCoord = depthBiasVP * world;
    // camera position from the rigid view matrix
    eyePos = -transpose(mat3(V)) * V[3].xyz;
    lampWorld = lightPosWorld;
    pieceTint = tint;
    gl_Position = P * V * world;
}
