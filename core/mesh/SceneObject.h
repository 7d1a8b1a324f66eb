#pragma once
#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace tovi::scene {

// Base of every drawable object: the model matrix, the per-frame operations
// and the mesh readers every concrete object uses at construction.
//
// The readers are plain functions of the class (static): they append to the
// arrays they are given and print a message on standard output when a file
// cannot be used, appending nothing in that case.
class SceneObject {
  public:
    explicit SceneObject(const glm::mat4& model = glm::mat4(1.0f)) : modelMatrix(model) {}
    virtual ~SceneObject() = default;

    virtual void update(float timeStep) = 0;
    virtual void draw() = 0;
    virtual void drawShadow() = 0;

    // Triangulated OBJ, every corner with v/vt/vn; one entry per corner.
    static bool loadObjMesh(std::string path, std::vector<glm::vec3>& positions, std::vector<glm::vec2>& uvs,
                            std::vector<glm::vec3>& normals);
    // Every "v" position of an OBJ file.
    static bool loadObjPositions(std::string path, std::vector<glm::vec3>& positions);
    // Every "vertex" of an ASCII STL file, three per triangle.
    static bool loadStlVertices(std::string path, std::vector<glm::vec3>& positions);
    // Corner arrays in, indexed arrays out, one vertex per corner. Refuses
    // (message, false, nothing appended) a mesh that 16-bit indices cannot hold.
    static bool buildIndexedMesh(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                                 const std::vector<glm::vec3>& normals, std::vector<unsigned short>& indices,
                                 std::vector<glm::vec3>& outPositions, std::vector<glm::vec2>& outUvs,
                                 std::vector<glm::vec3>& outNormals);

    // The matrix to draw with: the model matrix lifted by drawLift on y. The
    // editor's selection wobble lives here, so it never reaches the stored
    // matrix, the collision body or the course file.
    glm::mat4 drawMatrix() const {
        glm::mat4 m = modelMatrix;
        m[3][1] += drawLift;
        return m;
    }

    glm::mat4 modelMatrix;
    float drawLift = 0.0f;
    // Added to the lit colour when drawn: the editor marks the selection
    // and pieces that cut into others with it. Zero outside the editor.
    glm::vec3 drawTint{0.0f};
};

// Per-corner tangents and bitangents for normal mapping. A triangle whose uvs
// are degenerate gets a finite frame built from its normal.
void computeTangentFrames(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                          const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangents,
                          std::vector<glm::vec3>& bitangents);

// Indexing that merges corners whose position, uv and normal each differ by
// less than 0.01 per component (the first such vertex wins) and sums their
// tangents and bitangents. Refuses meshes over 65,536 distinct vertices.
bool buildIndexedMeshWithTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                                  const std::vector<glm::vec3>& normals,
                                  const std::vector<glm::vec3>& tangents,
                                  const std::vector<glm::vec3>& bitangents,
                                  std::vector<unsigned short>& indices, std::vector<glm::vec3>& outPositions,
                                  std::vector<glm::vec2>& outUvs, std::vector<glm::vec3>& outNormals,
                                  std::vector<glm::vec3>& outTangents, std::vector<glm::vec3>& outBitangents);

// Linear search of the output arrays for the first vertex within 0.01 of the
// given one in every component.
bool findSimilarVertex(const glm::vec3& position, const glm::vec2& uv, const glm::vec3& normal,
                       const std::vector<glm::vec3>& outPositions, const std::vector<glm::vec2>& outUvs,
                       const std::vector<glm::vec3>& outNormals, unsigned short& result);

// A track piece as the rules, the editor and the course file see it; the GL
// class tovi::scene::Track derives from it.
class TrackBase : public SceneObject {
  public:
    TrackBase(const glm::mat4& model, std::string meshPath)
        : SceneObject(model), pieceName(meshPath.substr(meshPath.find_last_of('/') + 1)) {}
    void update(float) override {}

    float lightOffsetX = 0.0f;
    float lightOffsetZ = 0.0f;
    int bodyIndex = -1;
    std::string pieceName;
};

} // namespace tovi::scene
