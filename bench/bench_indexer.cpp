// Times the merging indexer on a 60,000-corner mesh: a wavy 100 x 100 grid
// surface of two triangles per cell, where every inner vertex is shared by
// six corners (the shape of a typical track piece or terrain mesh).
#include "core/mesh/SceneObject.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Grid {
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
};

glm::vec3 surfacePoint(int i, int j) {
    const float x = static_cast<float>(i) * 0.5f, z = static_cast<float>(j) * 0.5f;
    return {x, std::sin(x * 0.3f) * std::cos(z * 0.2f) * 2.0f, z};
}

glm::vec3 surfaceNormal(int i, int j) {
    const glm::vec3 dx = surfacePoint(i + 1, j) - surfacePoint(i - 1, j);
    const glm::vec3 dz = surfacePoint(i, j + 1) - surfacePoint(i, j - 1);
    return glm::normalize(glm::cross(dz, dx));
}

void addCorner(Grid& g, int i, int j, int cells) {
    g.positions.push_back(surfacePoint(i, j));
    g.normals.push_back(surfaceNormal(i, j));
    g.uvs.emplace_back(static_cast<float>(i) / cells, -static_cast<float>(j) / cells);
}

Grid makeGrid(int cells) {
    Grid g;
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            addCorner(g, i, j, cells);
            addCorner(g, i, j + 1, cells);
            addCorner(g, i + 1, j, cells);
            addCorner(g, i + 1, j, cells);
            addCorner(g, i, j + 1, cells);
            addCorner(g, i + 1, j + 1, cells);
        }
    }
    return g;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    const Grid g = makeGrid(100);
    std::vector<glm::vec3> tangents, bitangents;
    auto start = std::chrono::steady_clock::now();
    tovi::scene::computeTangentFrames(g.positions, g.uvs, g.normals, tangents, bitangents);
    const double tangentTime = secondsSince(start);

    std::vector<unsigned short> indices;
    std::vector<glm::vec3> outP, outN, outT, outB;
    std::vector<glm::vec2> outUv;
    start = std::chrono::steady_clock::now();
    const bool ok = tovi::scene::buildIndexedMeshWithTangents(
        g.positions, g.uvs, g.normals, tangents, bitangents, indices, outP, outUv, outN, outT, outB);
    const double indexTime = secondsSince(start);

    // The plain linear search the indexer replaces, for comparison.
    std::vector<glm::vec3> refP, refN;
    std::vector<glm::vec2> refUv;
    start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < g.positions.size(); ++i) {
        unsigned short j = 0;
        if (!tovi::scene::findSimilarVertex(g.positions[i], g.uvs[i], g.normals[i], refP, refUv, refN, j)) {
            refP.push_back(g.positions[i]);
            refUv.push_back(g.uvs[i]);
            refN.push_back(g.normals[i]);
        }
    }
    const double linearTime = secondsSince(start);

    std::printf("corners: %zu, distinct vertices: %zu (%s)\n", g.positions.size(), outP.size(),
                ok ? "built" : "REFUSED");
    std::printf("tangent frames:   %8.3f ms\n", tangentTime * 1e3);
    std::printf("merging indexer:  %8.3f ms\n", indexTime * 1e3);
    std::printf("linear search:    %8.3f ms (%zu vertices)\n", linearTime * 1e3, refP.size());
    return ok && outP.size() == refP.size() ? 0 : 1;
}
