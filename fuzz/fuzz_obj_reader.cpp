// OBJ readers on arbitrary file contents: no crash, no out-of-bounds access,
// and either whole triangles appended or nothing at all.
#include "FuzzInput.h"
#include "core/mesh/SceneObject.h"

#include <vector>

using tovi::scene::SceneObject;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zentaro_fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = zentaro_fuzz::writeInput(data, size, ".obj");

    // Callers' existing entries must survive whatever the file holds.
    std::vector<glm::vec3> positions(1, glm::vec3(7.0f)), normals(1, glm::vec3(7.0f));
    std::vector<glm::vec2> uvs(1, glm::vec2(7.0f));
    const bool ok = SceneObject::loadObjMesh(path, positions, uvs, normals);
    zentaro_fuzz::check(positions.size() == uvs.size() && uvs.size() == normals.size(),
                        "corner arrays differ");
    zentaro_fuzz::check((positions.size() - 1) % 3 == 0, "not whole triangles");
    zentaro_fuzz::check(ok || positions.size() == 1, "refused file appended corners");
    zentaro_fuzz::check(positions[0] == glm::vec3(7.0f) && uvs[0] == glm::vec2(7.0f),
                        "existing entry changed");

    std::vector<glm::vec3> vertices;
    zentaro_fuzz::check(SceneObject::loadObjPositions(path, vertices),
                        "positions reader refused a readable file");
    return 0;
}
