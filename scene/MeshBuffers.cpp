#include "scene/MeshBuffers.h"

#include "core/mesh/SceneObject.h"
#include "render/Texture.h"

#include <glm/gtc/type_ptr.hpp>

namespace tovi::scene {

MeshData loadNormalMappedMesh(const std::string& objPath) {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    SceneObject::loadObjMesh(objPath, positions, uvs, normals);
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
    computeTangentFrames(positions, uvs, normals, tangents, bitangents);

    MeshData mesh;
    if (!buildIndexedMeshWithTangents(positions, uvs, normals, tangents, bitangents, mesh.indices,
                                      mesh.positions, mesh.uvs, mesh.normals, mesh.tangents, mesh.bitangents))
        mesh = MeshData();
    return mesh;
}

MeshData loadPlainMesh(const std::string& objPath) {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    SceneObject::loadObjMesh(objPath, positions, uvs, normals);

    MeshData mesh;
    if (!SceneObject::buildIndexedMesh(positions, uvs, normals, mesh.indices, mesh.positions, mesh.uvs,
                                       mesh.normals))
        mesh = MeshData();
    return mesh;
}

namespace {

template <typename T> GLuint makeBuffer(GLenum target, const std::vector<T>& data) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)),
                 data.empty() ? nullptr : data.data(), GL_STATIC_DRAW);
    return buffer;
}

// Points the program's attribute of that name at the buffer; an attribute the
// program does not have (location -1) is skipped.
void bindAttribute(GLuint program, const char* name, GLuint buffer, GLint components) {
    if (program == 0)
        return;
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0)
        return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void deleteBuffer(GLuint& buffer) {
    if (buffer != 0)
        glDeleteBuffers(1, &buffer);
    buffer = 0;
}

} // namespace

MeshBuffers::~MeshBuffers() {
    deleteBuffer(positionBuffer);
    deleteBuffer(normalBuffer);
    deleteBuffer(uvBuffer);
    deleteBuffer(elementBuffer);
    deleteBuffer(tangentBuffer);
    deleteBuffer(bitangentBuffer);
    if (vertexArray != 0)
        glDeleteVertexArrays(1, &vertexArray);
}

void MeshBuffers::upload(const MeshData& mesh, GLuint program, bool withTangents) {
    if (vertexArray != 0)
        return; // uploaded already; the buffers never change

    positionBuffer = makeBuffer(GL_ARRAY_BUFFER, mesh.positions);
    normalBuffer = makeBuffer(GL_ARRAY_BUFFER, mesh.normals);
    uvBuffer = makeBuffer(GL_ARRAY_BUFFER, mesh.uvs);
    if (withTangents) {
        tangentBuffer = makeBuffer(GL_ARRAY_BUFFER, mesh.tangents);
        bitangentBuffer = makeBuffer(GL_ARRAY_BUFFER, mesh.bitangents);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    count = static_cast<GLsizei>(mesh.indices.size());
    vertices = static_cast<GLsizei>(mesh.positions.size());

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    bindAttributes(program);
    // Made while the vertex array object is bound, so it records the binding.
    elementBuffer = makeBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void MeshBuffers::bindAttributes(GLuint program) const {
    bindAttribute(program, "position", positionBuffer, 3);
    bindAttribute(program, "normal", normalBuffer, 3);
    bindAttribute(program, "uv", uvBuffer, 2);
    if (tangentBuffer != 0) {
        bindAttribute(program, "tangent", tangentBuffer, 3);
        bindAttribute(program, "bitangent", bitangentBuffer, 3);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
}

void MeshBuffers::draw() const {
    if (count == 0)
        return;
    glBindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
}

void MeshBuffers::drawShadow() const {
    if (count == 0)
        return;
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, nullptr);
    glDisableVertexAttribArray(0);
}

void drawNormalMapped(GLuint program, const Texture& diffuse, const Texture& normal,
                      const glm::vec3& lightPos, const glm::mat4& model, const MeshBuffers& buffers,
                      const glm::vec3& tint) {
    if (program == 0)
        return;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "DiffuseTextureSampler"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, diffuse.textureId);
    glUniform1i(glGetUniformLocation(program, "NormalTextureSampler"), 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, normal.textureId);
    glActiveTexture(GL_TEXTURE0);
    glUniform3f(glGetUniformLocation(program, "lightPosWorld"), lightPos.x, lightPos.y, lightPos.z);
    glUniformMatrix4fv(glGetUniformLocation(program, "M"), 1, GL_FALSE, glm::value_ptr(model));
    glUniform3f(glGetUniformLocation(program, "tint"), tint.x, tint.y, tint.z);
    buffers.draw();
}

} // namespace tovi::scene
