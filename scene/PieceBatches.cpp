#include "scene/PieceBatches.h"

#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "scene/Light.h"
#include "scene/MeshBuffers.h"
#include "scene/Track.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstdint>

namespace tovi::scene {

namespace {

constexpr std::size_t kColumn = sizeof(glm::vec4);

// Per-instance attributes: a matrix takes four locations, a column each.
void enableInstanceAttributes(GLint model, GLint lamp, GLint tint = -1) {
    for (GLint column = 0; column < 4 && model >= 0; ++column) {
        glEnableVertexAttribArray(static_cast<GLuint>(model + column));
        glVertexAttribDivisor(static_cast<GLuint>(model + column), 1);
    }
    for (GLint location : {lamp, tint})
        if (location >= 0) {
            glEnableVertexAttribArray(static_cast<GLuint>(location));
            glVertexAttribDivisor(static_cast<GLuint>(location), 1);
        }
}

const void* byteOffset(std::size_t bytes) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes));
}

void drawInstances(const MeshBuffers& mesh, std::size_t instances) {
    if (mesh.indexCount() > 0 && instances > 0)
        glDrawElementsInstanced(GL_TRIANGLES, mesh.indexCount(), GL_UNSIGNED_SHORT, nullptr,
                                static_cast<GLsizei>(instances));
}

} // namespace

void PieceBatches::StreamBuffer::fill(const void* data, std::size_t bytes) {
    glBindBuffer(GL_ARRAY_BUFFER, id);
    if (bytes == 0)
        return;
    if (bytes > capacity)
        capacity = std::max(bytes, 2 * capacity);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
}

PieceBatches::PieceBatches(const std::string& pieceFragment) {
    pieceShader = std::make_unique<ShaderProgram>(kPieceVertex, pieceFragment);
    lampProgram = std::make_unique<ShaderProgram>(kLampVertex, kLampFragment);
    pieceModel = glGetAttribLocation(pieceShader->programId, "instanceModel");
    pieceLamp = glGetAttribLocation(pieceShader->programId, "instanceLamp");
    pieceTint = glGetAttribLocation(pieceShader->programId, "instanceTint");
    lampModel = glGetAttribLocation(lampProgram->programId, "instanceModel");
    for (StreamBuffer* buffer : {&pieceBuffer, &lampBuffer, &shadowBuffer})
        glGenBuffers(1, &buffer->id);
}

PieceBatches::~PieceBatches() {
    for (const auto& kind : kinds) {
        glDeleteVertexArrays(1, &kind->pieceArray);
        glDeleteVertexArrays(1, &kind->shadowArray);
    }
    for (LampShape* shape : {&nearLamps, &farLamps})
        if (shape->array != 0)
            glDeleteVertexArrays(1, &shape->array);
    for (StreamBuffer* buffer : {&pieceBuffer, &lampBuffer, &shadowBuffer})
        glDeleteBuffers(1, &buffer->id);
}

PieceBatches::Kind& PieceBatches::kindOf(const Track& piece) {
    for (const auto& kind : kinds)
        if (kind->mesh == piece.mesh)
            return *kind;
    kinds.push_back(std::make_unique<Kind>());
    Kind& kind = *kinds.back();
    kind.mesh = piece.mesh;
    kind.diffuse = piece.diffuseTexture;
    kind.normal = piece.normalTexture;

    glGenVertexArrays(1, &kind.pieceArray);
    glBindVertexArray(kind.pieceArray);
    kind.mesh->bindAttributes(pieceShader->programId);
    enableInstanceAttributes(pieceModel, pieceLamp, pieceTint);

    // The shadow pass's program pins its inputs: positions at 0, the
    // matrices from 1.
    glGenVertexArrays(1, &kind.shadowArray);
    glBindVertexArray(kind.shadowArray);
    glBindBuffer(GL_ARRAY_BUFFER, kind.mesh->positionBuffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, kind.mesh->elementBuffer);
    enableInstanceAttributes(1, -1);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return kind;
}

void PieceBatches::useLampMesh(LampShape& shape, const std::shared_ptr<const MeshBuffers>& mesh) {
    if (shape.array != 0 && shape.mesh == mesh)
        return;
    if (shape.array == 0)
        glGenVertexArrays(1, &shape.array);
    shape.mesh = mesh;
    glBindVertexArray(shape.array);
    mesh->bindAttributes(lampProgram->programId);
    enableInstanceAttributes(lampModel, -1);
    glBindVertexArray(0);
}

void PieceBatches::pointInstances(GLint modelLocation, GLint lampLocation, GLint tintLocation,
                                  std::size_t stride, std::size_t offset) const {
    for (GLint column = 0; column < 4 && modelLocation >= 0; ++column)
        glVertexAttribPointer(static_cast<GLuint>(modelLocation + column), 4, GL_FLOAT, GL_FALSE,
                              static_cast<GLsizei>(stride),
                              byteOffset(offset + kColumn * static_cast<std::size_t>(column)));
    if (lampLocation >= 0)
        glVertexAttribPointer(static_cast<GLuint>(lampLocation), 3, GL_FLOAT, GL_FALSE,
                              static_cast<GLsizei>(stride), byteOffset(offset + 4 * kColumn));
    if (tintLocation >= 0)
        glVertexAttribPointer(static_cast<GLuint>(tintLocation), 3, GL_FLOAT, GL_FALSE,
                              static_cast<GLsizei>(stride), byteOffset(offset + 5 * kColumn));
}

void PieceBatches::draw(const std::vector<SceneObject*>& pieces, const Light* lamp,
                        const glm::vec2& lampOffset, const glm::mat4& viewProjection, const glm::vec3& eye) {
    for (Kind* kind : order)
        kind->pieces.clear();
    order.clear();
    for (SceneObject* object : pieces) {
        const auto* piece = dynamic_cast<const Track*>(object);
        if (piece == nullptr || piece->mesh == nullptr || piece->program == nullptr)
            continue;
        Kind& kind = kindOf(*piece);
        if (kind.pieces.empty())
            order.push_back(&kind);
        // The lamp 6 above the piece's stored origin, as Track::draw has it.
        const glm::vec3 at(piece->modelMatrix[3]);
        kind.pieces.push_back(
            {piece->drawMatrix(),
             glm::vec4(at.x + piece->lightOffsetX, at.y + 6.0f, at.z + piece->lightOffsetZ, 1.0f),
             glm::vec4(piece->drawTint, 0.0f)});
    }
    if (order.empty())
        return;

    staged.clear();
    for (const Kind* kind : order)
        staged.insert(staged.end(), kind->pieces.begin(), kind->pieces.end());
    pieceBuffer.fill(staged.data(), staged.size() * sizeof(PieceInstance));
    const GLuint id = pieceShader->programId;
    glUseProgram(id);
    glUniform1i(glGetUniformLocation(id, "DiffuseTextureSampler"), 0);
    glUniform1i(glGetUniformLocation(id, "NormalTextureSampler"), 1);
    std::size_t offset = 0;
    for (const Kind* kind : order) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, kind->normal != nullptr ? kind->normal->textureId : 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, kind->diffuse != nullptr ? kind->diffuse->textureId : 0);
        glBindVertexArray(kind->pieceArray);
        pointInstances(pieceModel, pieceLamp, pieceTint, sizeof(PieceInstance), offset);
        drawInstances(*kind->mesh, kind->pieces.size());
        offset += kind->pieces.size() * sizeof(PieceInstance);
    }
    glBindVertexArray(0);

    if (lamp == nullptr || lamp->mesh == nullptr || lamp->texture == nullptr)
        return;
    useLampMesh(nearLamps, lamp->mesh);
    useLampMesh(farLamps, lamp->farMesh != nullptr ? lamp->farMesh : lamp->mesh);
    // Each lamp at its piece's draw matrix, moved to circle 6 above it: the
    // near ones first, then the far ones, in one buffer.
    stagedMatrices.clear();
    for (LampShape* shape : {&nearLamps, &farLamps}) {
        const bool far = shape == &farLamps;
        const std::size_t before = stagedMatrices.size();
        for (const PieceInstance& piece : staged) {
            glm::mat4 m = piece.model;
            m[3] += glm::vec4(lampOffset.x, 6.0f, lampOffset.y, 0.0f);
            if ((glm::length(glm::vec3(m[3]) - eye) > kFarLamp) == far)
                stagedMatrices.push_back(m);
        }
        shape->instances = stagedMatrices.size() - before;
    }
    lampBuffer.fill(stagedMatrices.data(), stagedMatrices.size() * sizeof(glm::mat4));
    const GLuint lampId = lampProgram->programId;
    glUseProgram(lampId);
    glUniformMatrix4fv(glGetUniformLocation(lampId, "view_proj"), 1, GL_FALSE,
                       glm::value_ptr(viewProjection));
    glUniform1i(glGetUniformLocation(lampId, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, lamp->texture->textureId);
    offset = 0;
    for (const LampShape* shape : {&nearLamps, &farLamps}) {
        glBindVertexArray(shape->array);
        pointInstances(lampModel, -1, -1, sizeof(glm::mat4), offset);
        drawInstances(*shape->mesh, shape->instances);
        offset += shape->instances * sizeof(glm::mat4);
    }
    glBindVertexArray(0);
}

bool PieceBatches::take(SceneObject& caster) {
    const auto* piece = dynamic_cast<const Track*>(&caster);
    if (piece == nullptr || piece->mesh == nullptr)
        return false;
    // At its stored place: the editor's selection wobble (a few hundredths
    // of a unit every other frame) does not move the shadow, so the map
    // need not be drawn anew for it.
    kindOf(*piece).casters.push_back(piece->modelMatrix);
    return true;
}

bool PieceBatches::takenChanged() const {
    for (const auto& kind : kinds)
        if (kind->casters != kind->drawnCasters)
            return true;
    return false;
}

void PieceBatches::keepTaken() {
    for (const auto& kind : kinds) {
        kind->drawnCasters.swap(kind->casters);
        kind->casters.clear();
    }
}

void PieceBatches::drawTaken() {
    stagedMatrices.clear();
    for (const auto& kind : kinds)
        stagedMatrices.insert(stagedMatrices.end(), kind->casters.begin(), kind->casters.end());
    if (stagedMatrices.empty()) {
        keepTaken();
        return;
    }
    shadowBuffer.fill(stagedMatrices.data(), stagedMatrices.size() * sizeof(glm::mat4));
    std::size_t offset = 0;
    for (const auto& kind : kinds) {
        if (kind->casters.empty())
            continue;
        glBindVertexArray(kind->shadowArray);
        pointInstances(1, -1, -1, sizeof(glm::mat4), offset);
        drawInstances(*kind->mesh, kind->casters.size());
        offset += kind->casters.size() * sizeof(glm::mat4);
    }
    glBindVertexArray(0);
    keepTaken();
}

} // namespace tovi::scene
