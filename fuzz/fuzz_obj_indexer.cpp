// The normal-mapped mesh path fed from the OBJ reader: read, tangent frames,
// merging indexer. Checks that the frames of finite meshes are finite, that
// every index is valid, and that the hashed indexer gives exactly what the
// plain linear first-match search gives.
#include "FuzzInput.h"
#include "core/mesh/SceneObject.h"

#include <cmath>
#include <cstring>
#include <vector>

using tovi::scene::SceneObject;

namespace {

template <typename T> bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

bool finite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zentaro_fuzz::silenceStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = zentaro_fuzz::writeInput(data, size, ".obj");
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    if (!SceneObject::loadObjMesh(path, positions, uvs, normals))
        return 0;

    std::vector<glm::vec3> tangents, bitangents;
    tovi::scene::computeTangentFrames(positions, uvs, normals, tangents, bitangents);
    zentaro_fuzz::check(tangents.size() == positions.size() && bitangents.size() == positions.size(),
                        "one tangent and bitangent per corner");
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::size_t t = i / 3 * 3;
        bool inputsFinite = true;
        for (std::size_t k = t; k < t + 3; ++k)
            inputsFinite = inputsFinite && finite(positions[k]) && finite(normals[k]) &&
                           std::isfinite(uvs[k].x) && std::isfinite(uvs[k].y);
        if (inputsFinite) {
            zentaro_fuzz::check(finite(tangents[i]), "non-finite tangent from a finite triangle");
            zentaro_fuzz::check(finite(bitangents[i]), "non-finite bitangent from a finite triangle");
        }
    }

    std::vector<unsigned short> indices;
    std::vector<glm::vec3> outP, outN, outT, outB;
    std::vector<glm::vec2> outUv;
    const bool built = tovi::scene::buildIndexedMeshWithTangents(
        positions, uvs, normals, tangents, bitangents, indices, outP, outUv, outN, outT, outB);
    if (!built) {
        zentaro_fuzz::check(indices.empty() && outP.empty() && outT.empty(), "refused mesh appended data");
        return 0;
    }
    zentaro_fuzz::check(indices.size() == positions.size(), "one index per corner");
    for (const unsigned short index : indices)
        zentaro_fuzz::check(index < outP.size(), "index beyond the vertices");

    // The linear search the indexer must agree with.
    std::vector<unsigned short> refIndices;
    std::vector<glm::vec3> refP, refN, refT, refB;
    std::vector<glm::vec2> refUv;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        unsigned short j = 0;
        if (tovi::scene::findSimilarVertex(positions[i], uvs[i], normals[i], refP, refUv, refN, j)) {
            refIndices.push_back(j);
            refT[j] += tangents[i];
            refB[j] += bitangents[i];
        } else {
            refP.push_back(positions[i]);
            refUv.push_back(uvs[i]);
            refN.push_back(normals[i]);
            refT.push_back(tangents[i]);
            refB.push_back(bitangents[i]);
            refIndices.push_back(static_cast<unsigned short>(refP.size() - 1));
        }
    }
    zentaro_fuzz::check(refIndices == indices, "indices differ from the linear search");
    zentaro_fuzz::check(sameBits(refP, outP) && sameBits(refUv, outUv) && sameBits(refN, outN),
                        "vertices differ from the linear search");
    zentaro_fuzz::check(sameBits(refT, outT) && sameBits(refB, outB),
                        "tangent sums differ from the linear search");
    return 0;
}
