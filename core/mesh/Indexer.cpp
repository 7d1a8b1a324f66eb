// The indexers shared by every drawable object: corners in, indexed vertices
// out, with similar corners merged.
#include "core/mesh/SceneObject.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unordered_map>

namespace tovi::scene {

namespace {

// Largest number of distinct vertices 16-bit indices can address.
constexpr std::size_t kMaxIndexedVertices = 65536;

// Two vertices closer than this in every component are merged.
constexpr float kMergeTolerance = 0.01f;

bool isNear(float a, float b) {
    return std::fabs(a - b) < kMergeTolerance;
}

// The merge test shared by the linear search and the hashed indexer.
bool isSimilar(const glm::vec3& p, const glm::vec2& t, const glm::vec3& n, const glm::vec3& q,
               const glm::vec2& s, const glm::vec3& m) {
    return isNear(p.x, q.x) && isNear(p.y, q.y) && isNear(p.z, q.z) && isNear(t.x, s.x) && isNear(t.y, s.y) &&
           isNear(n.x, m.x) && isNear(n.y, m.y) && isNear(n.z, m.z);
}

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A unit vector perpendicular to n (n need not be unit length, but must be
// finite and non-zero). For an upward normal this is +x.
glm::vec3 perpendicularTo(const glm::vec3& n) {
    const glm::vec3 unit = glm::normalize(n);
    const glm::vec3 helper = std::fabs(unit.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
    return glm::normalize(helper - unit * glm::dot(unit, helper));
}

bool isUsableDirection(const glm::vec3& v) {
    if (!isFinite(v))
        return false;
    const float len = glm::length(v);
    return std::isfinite(len) && len > 0.0f;
}

void printTooManyVertices() {
    std::printf("Mesh has more than %zu distinct vertices, more than 16-bit indices can address; it is not "
                "built.\n",
                kMaxIndexedVertices);
}

// Cell of the position hash used by the merging indexer: positions quantised
// to steps of kCellSize.
struct Cell {
    std::int64_t x, y, z;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CellHash {
    std::size_t operator()(const Cell& c) const {
        std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
        h ^= static_cast<std::uint64_t>(c.z) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
        return static_cast<std::size_t>(h);
    }
};

// Side of a hash cell: a bit over twice the reach of the merge test, so the
// values within reach of any value lie in at most two cells per axis (eight
// cells to look at, where cells of the tolerance's own size needed up to 64).
constexpr double kCellSize = 2.5 * static_cast<double>(kMergeTolerance);

// Cell coordinate of a finite value. Far-out values share the outermost
// cells; the exact test behind the hash keeps the result right.
std::int64_t cellOf(double v) {
    constexpr double kLimit = 4.0e18;
    const double c = std::floor(v / kCellSize);
    return static_cast<std::int64_t>(std::clamp(c, -kLimit, kLimit));
}

// The cells that can hold a value within the merge tolerance of a. The reach
// has a small margin for the rounding of the float difference. From 2^18 on,
// neighbouring floats are further apart than the tolerance, so only an equal
// value can match and its own cell is enough.
void cellRange(float a, std::int64_t& lo, std::int64_t& hi) {
    if (std::fabs(a) >= 262144.0f) {
        lo = hi = cellOf(a);
        return;
    }
    const double reach = static_cast<double>(kMergeTolerance) * 1.01;
    lo = cellOf(a - reach);
    hi = cellOf(a + reach);
}

// Position hash over the vertices kept so far. Each cell lists its vertices
// in increasing index order.
class VertexHash {
  public:
    void insert(const glm::vec3& p, std::uint32_t index) {
        if (!isFinite(p))
            return; // never similar to anything
        cells_[Cell{cellOf(p.x), cellOf(p.y), cellOf(p.z)}].push_back(index);
    }

    // Smallest index j with isSimilar(corner, vertex j), as the linear search
    // from index 0 upward would find it.
    bool find(const glm::vec3& p, const glm::vec2& t, const glm::vec3& n, const std::vector<glm::vec3>& ps,
              const std::vector<glm::vec2>& ts, const std::vector<glm::vec3>& ns,
              std::uint32_t& result) const {
        if (!isFinite(p))
            return false;
        std::int64_t x0, x1, y0, y1, z0, z1;
        cellRange(p.x, x0, x1);
        cellRange(p.y, y0, y1);
        cellRange(p.z, z0, z1);
        bool found = false;
        std::uint32_t best = 0;
        for (std::int64_t x = x0; x <= x1; ++x) {
            for (std::int64_t y = y0; y <= y1; ++y) {
                for (std::int64_t z = z0; z <= z1; ++z) {
                    const auto it = cells_.find(Cell{x, y, z});
                    if (it == cells_.end())
                        continue;
                    for (const std::uint32_t j : it->second) {
                        if (found && j >= best)
                            break;
                        if (isSimilar(p, t, n, ps[j], ts[j], ns[j])) {
                            best = j;
                            found = true;
                            break;
                        }
                    }
                }
            }
        }
        result = best;
        return found;
    }

  private:
    std::unordered_map<Cell, std::vector<std::uint32_t>, CellHash> cells_;
};

} // namespace

bool SceneObject::buildIndexedMesh(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                                   const std::vector<glm::vec3>& normals,
                                   std::vector<unsigned short>& indices, std::vector<glm::vec3>& outPositions,
                                   std::vector<glm::vec2>& outUvs, std::vector<glm::vec3>& outNormals) {
    if (uvs.size() != positions.size() || normals.size() != positions.size()) {
        std::printf("Mesh arrays differ in length (%zu positions, %zu uvs, %zu normals); it is not built.\n",
                    positions.size(), uvs.size(), normals.size());
        return false;
    }
    const std::size_t total = outPositions.size() + positions.size();
    if (total > kMaxIndexedVertices) {
        printTooManyVertices();
        return false;
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
        outPositions.push_back(positions[i]);
        outUvs.push_back(uvs[i]);
        outNormals.push_back(normals[i]);
        indices.push_back(static_cast<unsigned short>(outPositions.size() - 1));
    }
    return true;
}

void computeTangentFrames(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                          const std::vector<glm::vec3>& normals, std::vector<glm::vec3>& tangents,
                          std::vector<glm::vec3>& bitangents) {
    const std::size_t corners = std::min({positions.size(), uvs.size(), normals.size()}) / 3 * 3;
    const std::size_t firstTangent = tangents.size();
    const std::size_t firstBitangent = bitangents.size();

    for (std::size_t i = 0; i < corners; i += 3) {
        const glm::vec3 dP1 = positions[i + 1] - positions[i];
        const glm::vec3 dP2 = positions[i + 2] - positions[i];
        const glm::vec2 dT1 = uvs[i + 1] - uvs[i];
        const glm::vec2 dT2 = uvs[i + 2] - uvs[i];
        const float denominator = dT1.x * dT2.y - dT1.y * dT2.x;
        glm::vec3 tangent(0.0f), bitangent(0.0f);
        bool usable = denominator != 0.0f && std::isfinite(denominator);
        if (usable) {
            const float r = 1.0f / denominator;
            tangent = (dP1 * dT2.y - dP2 * dT1.y) * r;
            bitangent = (dP2 * dT1.x - dP1 * dT2.x) * r;
            usable = isFinite(tangent) && isFinite(bitangent);
        }
        if (!usable) {
            // The uvs give no direction: any frame around the triangle's
            // normal will do, as long as it is finite.
            glm::vec3 n = glm::cross(dP1, dP2);
            if (!isUsableDirection(n))
                n = normals[i] + normals[i + 1] + normals[i + 2];
            if (!isUsableDirection(n))
                n = glm::vec3(0, 1, 0);
            tangent = perpendicularTo(n);
            bitangent = glm::cross(glm::normalize(n), tangent);
        }
        for (int k = 0; k < 3; ++k) {
            tangents.push_back(tangent);
            bitangents.push_back(bitangent);
        }
    }

    // Make each tangent perpendicular to its corner's normal, and point it so
    // that normal, tangent and bitangent form a right-handed frame.
    for (std::size_t i = 0; i < corners; ++i) {
        const glm::vec3& n = normals[i];
        glm::vec3& t = tangents[firstTangent + i];
        const glm::vec3& b = bitangents[firstBitangent + i];
        const glm::vec3 projected = t - n * glm::dot(n, t);
        if (isUsableDirection(projected)) {
            const glm::vec3 unit = glm::normalize(projected);
            if (isFinite(unit))
                t = unit;
        } else if (isUsableDirection(n)) {
            // Tangent along the normal (or degenerate positions).
            t = perpendicularTo(n);
        } else if (isUsableDirection(t)) {
            t = glm::normalize(t);
        }
        if (glm::dot(glm::cross(n, t), b) < 0.0f)
            t = -t;
    }
}

bool findSimilarVertex(const glm::vec3& position, const glm::vec2& uv, const glm::vec3& normal,
                       const std::vector<glm::vec3>& outPositions, const std::vector<glm::vec2>& outUvs,
                       const std::vector<glm::vec3>& outNormals, unsigned short& result) {
    const std::size_t count =
        std::min({outPositions.size(), outUvs.size(), outNormals.size(), kMaxIndexedVertices});
    for (std::size_t j = 0; j < count; ++j) {
        if (isSimilar(position, uv, normal, outPositions[j], outUvs[j], outNormals[j])) {
            result = static_cast<unsigned short>(j);
            return true;
        }
    }
    return false;
}

bool buildIndexedMeshWithTangents(const std::vector<glm::vec3>& positions, const std::vector<glm::vec2>& uvs,
                                  const std::vector<glm::vec3>& normals,
                                  const std::vector<glm::vec3>& tangents,
                                  const std::vector<glm::vec3>& bitangents,
                                  std::vector<unsigned short>& indices, std::vector<glm::vec3>& outPositions,
                                  std::vector<glm::vec2>& outUvs, std::vector<glm::vec3>& outNormals,
                                  std::vector<glm::vec3>& outTangents,
                                  std::vector<glm::vec3>& outBitangents) {
    const std::size_t corners = positions.size();
    if (uvs.size() != corners || normals.size() != corners || tangents.size() != corners ||
        bitangents.size() != corners) {
        std::printf("Mesh arrays differ in length (%zu positions, %zu uvs, %zu normals, %zu tangents, %zu "
                    "bitangents); it is not built.\n",
                    corners, uvs.size(), normals.size(), tangents.size(), bitangents.size());
        return false;
    }
    const std::size_t kept = outPositions.size();
    if (outUvs.size() != kept || outNormals.size() != kept || outTangents.size() != kept ||
        outBitangents.size() != kept) {
        std::printf("Indexed mesh arrays differ in length; the mesh is not built.\n");
        return false;
    }
    if (kept > kMaxIndexedVertices) {
        printTooManyVertices();
        return false;
    }

    // Work on copies so that a refused mesh leaves the caller's arrays as
    // they were. Callers pass empty arrays, so the copies cost nothing.
    std::vector<glm::vec3> ps(outPositions), ns(outNormals), ts(outTangents), bs(outBitangents);
    std::vector<glm::vec2> us(outUvs);
    std::vector<unsigned short> newIndices;
    newIndices.reserve(corners);

    VertexHash hash;
    for (std::size_t j = 0; j < kept; ++j)
        hash.insert(ps[j], static_cast<std::uint32_t>(j));

    for (std::size_t i = 0; i < corners; ++i) {
        std::uint32_t j = 0;
        if (hash.find(positions[i], uvs[i], normals[i], ps, us, ns, j)) {
            newIndices.push_back(static_cast<unsigned short>(j));
            ts[j] += tangents[i];
            bs[j] += bitangents[i];
            continue;
        }
        if (ps.size() >= kMaxIndexedVertices) {
            printTooManyVertices();
            return false;
        }
        const auto index = static_cast<std::uint32_t>(ps.size());
        hash.insert(positions[i], index);
        ps.push_back(positions[i]);
        us.push_back(uvs[i]);
        ns.push_back(normals[i]);
        ts.push_back(tangents[i]);
        bs.push_back(bitangents[i]);
        newIndices.push_back(static_cast<unsigned short>(index));
    }
    outPositions.swap(ps);
    outUvs.swap(us);
    outNormals.swap(ns);
    outTangents.swap(ts);
    outBitangents.swap(bs);
    indices.insert(indices.end(), newIndices.begin(), newIndices.end());
    return true;
}

} // namespace tovi::scene
