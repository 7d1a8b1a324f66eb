#pragma once
#include "render/GL.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace tovi {
class Texture;
}

namespace tovi::scene {

// The indexed arrays of one mesh, as the loaders give them for upload (nothing
// keeps them afterwards). Tangents and bitangents are empty for meshes without
// normal maps.
struct MeshData {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;
    std::vector<unsigned short> indices;

    bool empty() const { return indices.empty(); }
};

// OBJ -> tangent frames -> merging indexer, for the normal-mapped objects.
// A file that cannot be read leaves the mesh empty (the reader has printed why).
MeshData loadNormalMappedMesh(const std::string& objPath);
// OBJ -> plain indexer (one vertex per corner), for rings and the lamp.
MeshData loadPlainMesh(const std::string& objPath);

// The GL side of one mesh (shared by every object drawing that mesh file, see
// AssetStore): a vertex array object, one array buffer per
// attribute and a 16-bit element buffer. Attributes are looked up by name in
// the drawing program; a name the program does not use is left unbound.
class MeshBuffers {
  public:
    MeshBuffers() = default;
    ~MeshBuffers();
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;

    // Uploads the mesh (static draw) and records the attributes "position",
    // "normal", "uv" and, with tangents, "tangent" and "bitangent" of the
    // program in the vertex array object. Call once.
    void upload(const MeshData& mesh, GLuint program, bool withTangents);

    // Records this mesh's buffers in the bound vertex array object: the
    // program's attributes by name, as upload does, and the elements.
    void bindAttributes(GLuint program) const;

    // Binds the vertex array object, draws every index as triangles, unbinds.
    void draw() const;
    // Position-only draw for the shadow pass on whatever vertex array object
    // the caller has bound: generic location 0 carries the positions.
    void drawShadow() const;

    GLsizei indexCount() const { return count; }
    GLsizei vertexCount() const { return vertices; }

    GLuint vertexArray = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint elementBuffer = 0;
    GLuint tangentBuffer = 0;
    GLuint bitangentBuffer = 0;

  private:
    GLsizei count = 0;
    GLsizei vertices = 0;
};

// The draw shared by the normal-mapped objects (pieces, ball, head): program,
// diffuse map on unit 0 and normal map on unit 1 with their samplers,
// "lightPosWorld", "M", "tint" (the editor's mark, where the program has
// it), then the mesh.
void drawNormalMapped(GLuint program, const Texture& diffuse, const Texture& normal,
                      const glm::vec3& lightPos, const glm::mat4& model, const MeshBuffers& buffers,
                      const glm::vec3& tint = glm::vec3(0.0f));

} // namespace tovi::scene
