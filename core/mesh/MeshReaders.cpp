// The mesh readers shared by every drawable object.
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

} // namespace tovi::scene
