// Mesh readers and indexers shared by every drawable object.
//
// The readers work like a small word/number scanner over the whole file held
// in memory: a "word" is a run of non-blank characters, a number is read after
// skipping any blanks (line breaks included), and a number that is not there
// leaves the value at zero without consuming the text that stopped it. Nothing
// is read into fixed-size buffers, so long words or lines cannot overrun.
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

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the text of a mesh file the way the formatted C reading functions
// would (words, floats, integers, literal characters), but over an in-memory
// copy and without any fixed-size buffer.
class Scanner {
  public:
    explicit Scanner(std::string text) : text_(std::move(text)) {}

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
    }

    // Next blank-delimited word; false at the end of the text.
    bool word(std::string& out) {
        skipBlanks();
        if (pos_ >= text_.size())
            return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]))
            ++pos_;
        out.assign(text_, start, pos_ - start);
        return true;
    }

    // Drops everything up to and including the next line break.
    void skipLine() {
        const std::size_t end = text_.find('\n', pos_);
        pos_ = end == std::string::npos ? text_.size() : end + 1;
    }

    // A floating-point number after optional blanks (the usual C syntax,
    // including inf and nan). On failure nothing past the blanks is consumed.
    bool number(float& out) {
        skipBlanks();
        if (pos_ >= text_.size())
            return false;
        const char* start = text_.c_str() + pos_;
        // Plain decimal numbers, nearly all of a mesh file, take the fast
        // conversion; what it would not read exactly as strtof does (a
        // leading '+', hexadecimal, values out of range) goes to strtof.
        if (*start != '+') {
            const char* last = text_.c_str() + text_.size();
            float fast = 0.0f;
            const std::from_chars_result r = std::from_chars(start, last, fast);
            if (r.ec == std::errc() && !(r.ptr < last && (*r.ptr == 'x' || *r.ptr == 'X'))) {
                out = fast;
                pos_ += static_cast<std::size_t>(r.ptr - start);
                return true;
            }
        }
        char* end = nullptr;
        const int savedErrno = errno;
        const float value = std::strtof(start, &end);
        errno = savedErrno;
        if (end == start)
            return false;
        out = value;
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    // A decimal integer after optional blanks; values beyond the int range
    // saturate. On failure nothing past the blanks is consumed.
    bool integer(int& out) {
        skipBlanks();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) {
            negative = text_[p] == '-';
            ++p;
        }
        const std::size_t digitsStart = p;
        long long value = 0;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
            if (value <= static_cast<long long>(INT_MAX) + 1)
                value = value * 10 + (text_[p] - '0');
            ++p;
        }
        if (p == digitsStart)
            return false;
        if (negative)
            value = -value;
        out = static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
        pos_ = p;
        return true;
    }

    // A literal character; no blanks are skipped before it.
    bool literal(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // "%f %f ... %f\n": up to `count` numbers separated by optional blanks,
    // then any blanks. Stops at the first number that is not there; returns
    // how many were read. Values not read are left as they were.
    int numbers(float* values, int count) {
        for (int i = 0; i < count; ++i) {
            if (!number(values[i]))
                return i;
            skipBlanks();
        }
        return count;
    }

    // "%d/%d/%d %d/%d/%d %d/%d/%d\n": three slash-separated triples. Returns
    // how many of the nine integers were converted.
    int faceTriples(int* values) {
        int converted = 0;
        for (int corner = 0; corner < 3; ++corner) {
            for (int k = 0; k < 3; ++k) {
                if (k > 0 && !literal('/'))
                    return converted;
                if (!integer(values[corner * 3 + k]))
                    return converted;
                ++converted;
            }
            skipBlanks();
        }
        return converted;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

// Opens a mesh file and takes its whole text; prints the loader's message and
// returns false when the file cannot be opened.
bool readMeshFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file) {
        std::fputs("Impossible to open the file !\n", stdout);
        std::fputs(path.c_str(), stdout);
        std::fflush(stdout);
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

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

bool SceneObject::loadObjMesh(std::string path, std::vector<glm::vec3>& positions,
                              std::vector<glm::vec2>& uvs, std::vector<glm::vec3>& normals) {
    std::string text;
    if (!readMeshFile(path, text))
        return false;
    Scanner in(std::move(text));

    std::vector<glm::vec3> filePositions;
    std::vector<glm::vec2> fileUvs;
    std::vector<glm::vec3> fileNormals;
    std::vector<int> positionIndices, uvIndices, normalIndices;

    std::string word;
    while (in.word(word)) {
        if (word == "v") {
            float v[3] = {0, 0, 0};
            in.numbers(v, 3);
            filePositions.emplace_back(v[0], v[1], v[2]);
        } else if (word == "vt") {
            float v[2] = {0, 0};
            in.numbers(v, 2);
            // The textures are stored with their first row at the top.
            fileUvs.emplace_back(v[0], -v[1]);
        } else if (word == "vn") {
            float v[3] = {0, 0, 0};
            in.numbers(v, 3);
            fileNormals.emplace_back(v[0], v[1], v[2]);
        } else if (word == "f") {
            int idx[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (in.faceTriples(idx) != 9) {
                std::fputs("File can't be read by our simple parser :-( Try exporting with other options\n",
                           stdout);
                std::fflush(stdout);
                return false;
            }
            for (int corner = 0; corner < 3; ++corner) {
                positionIndices.push_back(idx[corner * 3]);
                uvIndices.push_back(idx[corner * 3 + 1]);
                normalIndices.push_back(idx[corner * 3 + 2]);
            }
        } else {
            // Comments, object, group, smoothing and material lines, and the
            // extra numbers of longer lines.
            in.skipLine();
        }
    }

    // Every index must name an existing entry (1-based, no relative indices).
    const auto checkIndex = [&](int index, std::size_t count, const char* kind, std::size_t corner) {
        if (index >= 1 && static_cast<std::size_t>(index) <= count)
            return true;
        std::printf("Invalid face index in %s: face %zu refers to %s %d, but the file has %zu %ss (indices "
                    "count from 1)\n",
                    path.c_str(), corner / 3 + 1, kind, index, count, kind);
        std::fflush(stdout);
        return false;
    };
    for (std::size_t i = 0; i < positionIndices.size(); ++i) {
        if (!checkIndex(positionIndices[i], filePositions.size(), "position", i) ||
            !checkIndex(uvIndices[i], fileUvs.size(), "uv", i) ||
            !checkIndex(normalIndices[i], fileNormals.size(), "normal", i))
            return false;
    }

    positions.reserve(positions.size() + positionIndices.size());
    uvs.reserve(uvs.size() + uvIndices.size());
    normals.reserve(normals.size() + normalIndices.size());
    for (std::size_t i = 0; i < positionIndices.size(); ++i) {
        positions.push_back(filePositions[static_cast<std::size_t>(positionIndices[i] - 1)]);
        uvs.push_back(fileUvs[static_cast<std::size_t>(uvIndices[i] - 1)]);
        normals.push_back(fileNormals[static_cast<std::size_t>(normalIndices[i] - 1)]);
    }
    return true;
}

namespace {
// Every word equal to the keyword is followed by three numbers: one position.
bool readKeywordPositions(const std::string& path, const char* keyword, std::vector<glm::vec3>& positions) {
    std::string text;
    if (!readMeshFile(path, text))
        return false;
    Scanner in(std::move(text));
    std::string word;
    while (in.word(word)) {
        if (word == keyword) {
            float v[3] = {0, 0, 0};
            in.numbers(v, 3);
            positions.emplace_back(v[0], v[1], v[2]);
        }
    }
    return true;
}
} // namespace

bool SceneObject::loadObjPositions(std::string path, std::vector<glm::vec3>& positions) {
    return readKeywordPositions(path, "v", positions);
}

bool SceneObject::loadStlVertices(std::string path, std::vector<glm::vec3>& positions) {
    return readKeywordPositions(path, "vertex", positions);
}

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
