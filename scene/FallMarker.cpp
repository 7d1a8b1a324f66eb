#include "scene/FallMarker.h"

#include <glm/gtc/type_ptr.hpp>

#include <utility>

namespace tovi::scene {

namespace {

constexpr float kPinHeight = 1.6f;
constexpr float kPinHalfWidth = 0.45f;
constexpr float kCapHeight = 0.35f;
constexpr float kBeamHalfWidth = 0.05f;
constexpr float kBeamTop = 14.0f;
const glm::vec3 kColour(1.0f, 0.3f, 0.12f);

// One flat-shaded triangle: its own three corners and its face normal,
// turned outwards from the pin's axis.
void addTriangle(MeshData& mesh, glm::vec3 a, glm::vec3 b, glm::vec3 c) {
    glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
    const glm::vec3 middle = (a + b + c) / 3.0f;
    if (glm::dot(n, glm::vec3(middle.x, 0.0f, middle.z)) < 0.0f) {
        std::swap(b, c);
        n = -n;
    }
    for (const glm::vec3& corner : {a, b, c}) {
        mesh.indices.push_back(static_cast<unsigned short>(mesh.positions.size()));
        mesh.positions.push_back(corner);
        mesh.normals.push_back(n);
    }
}

MeshData pinMesh() {
    MeshData mesh;
    const glm::vec3 tip(0.0f);
    const glm::vec3 top(0.0f, kPinHeight + kCapHeight, 0.0f);
    const float w = kPinHalfWidth;
    const float h = kPinHeight;
    const glm::vec3 rim[4] = {{w, h, 0.0f}, {0.0f, h, w}, {-w, h, 0.0f}, {0.0f, h, -w}};
    const float b = kBeamHalfWidth;
    const glm::vec2 beam[4] = {{b, b}, {-b, b}, {-b, -b}, {b, -b}};
    for (int i = 0; i < 4; ++i) {
        const glm::vec3& p = rim[i];
        const glm::vec3& q = rim[(i + 1) % 4];
        addTriangle(mesh, tip, p, q);
        addTriangle(mesh, top, p, q);
        const glm::vec2& s = beam[i];
        const glm::vec2& t = beam[(i + 1) % 4];
        const glm::vec3 s0(s.x, h, s.y), t0(t.x, h, t.y), s1(s.x, kBeamTop, s.y), t1(t.x, kBeamTop, t.y);
        addTriangle(mesh, s0, t0, t1);
        addTriangle(mesh, s0, t1, s1);
    }
    return mesh;
}

} // namespace

FallMarker::FallMarker()
    : program("Kobuldo/Shader/marker.vert", "Kobuldo/Shader/marker.frag"), mesh(pinMesh()) {
    buffers.upload(mesh, program.programId, false);
}

void FallMarker::draw(const glm::mat4& viewProjection, const glm::vec3& point) const {
    const GLuint id = program.programId;
    glUseProgram(id);
    glm::mat4 model(1.0f);
    model[3] = glm::vec4(point, 1.0f);
    glUniformMatrix4fv(glGetUniformLocation(id, "view_proj"), 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniformMatrix4fv(glGetUniformLocation(id, "model"), 1, GL_FALSE, glm::value_ptr(model));
    glUniform3fv(glGetUniformLocation(id, "color"), 1, glm::value_ptr(kColour));
    buffers.draw();
}

} // namespace tovi::scene
