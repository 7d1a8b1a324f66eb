// ASCII STL reader on arbitrary file contents: no crash, no out-of-bounds
// access, and every readable file is accepted.
#include "FuzzInput.h"
#include "core/mesh/SceneObject.h"

#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zentaro_fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = zentaro_fuzz::writeInput(data, size, ".stl");
    std::vector<glm::vec3> positions;
    zentaro_fuzz::check(tovi::scene::SceneObject::loadStlVertices(path, positions), "readable file refused");
    return 0;
}
