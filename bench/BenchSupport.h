#pragma once
// Helpers shared by the benchmark programs: clocks and statistics, peak
// memory, private run folders holding a copy of the game data with a course
// of our choosing, and the courses themselves.
//
// A run folder is a fresh temporary directory with Kobuldo/Shader,
// Kobuldo/Textures and Kobuldo/Objects/V2 copied from the source tree and
// Kobuldo/Tracks/1.track written by the benchmark. The tracked files are never
// touched. Where the source tree has no mesh yet (the game data is generated
// separately), a simple stand-in mesh of the same name is written into the
// run folder only, and the benchmark says so.
#include "core/course/CourseFile.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef ZENTARO_SOURCE_DIR
#define ZENTARO_SOURCE_DIR "."
#endif

namespace bench {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------
// Clocks and statistics
// ---------------------------------------------------------------------------

// Monotonic nanoseconds, comparable between processes on this machine.
inline long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// CPU time of the whole process (every thread, the GL driver's included), in
// nanoseconds: steadier than the wall clock on a machine shared with others.
inline long long cpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Summary {
    double median = 0, min = 0, max = 0;
    std::size_t count = 0;
};

inline Summary summarize(std::vector<double> v) {
    Summary s;
    s.count = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
    s.min = v.front();
    s.max = v.back();
    return s;
}

// "median M (min A .. max B, n runs)" with the given format for the numbers.
inline std::string describe(const Summary& s, const char* fmt, const char* unit) {
    char m[64], a[64], b[64], out[256];
    std::snprintf(m, sizeof m, fmt, s.median);
    std::snprintf(a, sizeof a, fmt, s.min);
    std::snprintf(b, sizeof b, fmt, s.max);
    std::snprintf(out, sizeof out, "%s %s (min %s, max %s, %zu runs)", m, unit, a, b, s.count);
    return out;
}

// A "Vm..." line of /proc/self/status in kB, 0 if unknown.
inline long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    }
    return 0;
}

// Peak resident set of this process in kB (VmHWM), 0 if unknown.
inline long peakResidentKb() {
    return statusKb("VmHWM");
}
inline long residentKb() {
    return statusKb("VmRSS");
}

// Sends standard output to /dev/null while it lives (the game's loaders
// print lines such as the course's best time).
class QuietStdout {
  public:
    QuietStdout() {
        std::fflush(stdout);
        saved = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            close(null);
        }
    }
    ~QuietStdout() {
        std::fflush(stdout);
        if (saved >= 0) {
            dup2(saved, 1);
            close(saved);
        }
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

  private:
    int saved = -1;
};

// Key-value result files written by a measured child process.
inline void appendResult(const std::string& path, const std::string& key, double value) {
    if (path.empty())
        return;
    std::ofstream out(path, std::ios::app);
    out << key << ' ' << value << '\n';
}

inline std::vector<std::pair<std::string, double>> readResults(const std::string& path) {
    std::vector<std::pair<std::string, double>> r;
    std::ifstream in(path);
    std::string key;
    double value = 0;
    while (in >> key >> value)
        r.emplace_back(key, value);
    return r;
}

inline bool findResult(const std::vector<std::pair<std::string, double>>& r, const std::string& key,
                       double& value) {
    for (const auto& kv : r) {
        if (kv.first == key) {
            value = kv.second;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Stand-in meshes (only for files the game data does not have yet)
// ---------------------------------------------------------------------------

struct Mesh {
    std::vector<glm::vec3> p;
    std::vector<glm::vec2> t;
    std::vector<glm::vec3> n;
    std::vector<int> tri; // each index names p, t and n alike

    int add(glm::vec3 pos, glm::vec2 uv, glm::vec3 nor) {
        p.push_back(pos);
        t.push_back(uv);
        n.push_back(glm::normalize(nor));
        return static_cast<int>(p.size()) - 1;
    }
    void quad(int a, int b, int c, int d) { tri.insert(tri.end(), {a, b, c, a, c, d}); }
};

inline void writeObj(const Mesh& m, const fs::path& path) {
    std::ofstream out(path);
    out << "# stand-in mesh written by the benchmarks\n";
    char line[160];
    for (const auto& v : m.p) {
        std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\n", v.x, v.y, v.z);
        out << line;
    }
    for (const auto& v : m.t) {
        // The reader flips v; store it the way an exporter would.
        std::snprintf(line, sizeof line, "vt %.5f %.5f\n", v.x, v.y);
        out << line;
    }
    for (const auto& v : m.n) {
        std::snprintf(line, sizeof line, "vn %.5f %.5f %.5f\n", v.x, v.y, v.z);
        out << line;
    }
    for (std::size_t i = 0; i + 2 < m.tri.size(); i += 3) {
        const int a = m.tri[i] + 1, b = m.tri[i + 1] + 1, c = m.tri[i + 2] + 1;
        std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c);
        out << line;
    }
}

inline void writeStl(const Mesh& m, const fs::path& path) {
    std::ofstream out(path);
    out << "solid standin\n";
    char line[160];
    for (std::size_t i = 0; i + 2 < m.tri.size(); i += 3) {
        const glm::vec3 a = m.p[static_cast<std::size_t>(m.tri[i])];
        const glm::vec3 b = m.p[static_cast<std::size_t>(m.tri[i + 1])];
        const glm::vec3 c = m.p[static_cast<std::size_t>(m.tri[i + 2])];
        glm::vec3 nor = glm::cross(b - a, c - a);
        const float len = glm::length(nor);
        nor = len > 0 ? nor / len : glm::vec3(0, 1, 0);
        std::snprintf(line, sizeof line, "facet normal %.5f %.5f %.5f\n  outer loop\n", nor.x, nor.y, nor.z);
        out << line;
        for (const glm::vec3& v : {a, b, c}) {
            std::snprintf(line, sizeof line, "    vertex %.5f %.5f %.5f\n", v.x, v.y, v.z);
            out << line;
        }
        out << "  endloop\nendfacet\n";
    }
    out << "endsolid standin\n";
}

inline Mesh sphere(float radius, int slices, int stacks) {
    Mesh m;
    const float pi = 3.14159265f;
    for (int j = 0; j <= stacks; ++j) {
        const float v = static_cast<float>(j) / stacks;
        const float phi = v * pi;
        for (int i = 0; i <= slices; ++i) {
            const float u = static_cast<float>(i) / slices;
            const float theta = u * 2 * pi;
            const glm::vec3 d(std::sin(phi) * std::cos(theta), std::cos(phi),
                              std::sin(phi) * std::sin(theta));
            m.add(d * radius, {u, v}, d);
        }
    }
    for (int j = 0; j < stacks; ++j)
        for (int i = 0; i < slices; ++i) {
            const int a = j * (slices + 1) + i, b = a + 1, c = a + slices + 1, d = c + 1;
            m.tri.insert(m.tri.end(), {a, c, b, b, c, d});
        }
    return m;
}

inline Mesh torus(float major, float minor, int segments, int sides) {
    Mesh m;
    const float pi = 3.14159265f;
    for (int i = 0; i <= segments; ++i) {
        const float u = static_cast<float>(i) / segments, a = u * 2 * pi;
        const glm::vec3 centre(std::cos(a) * major, 0, std::sin(a) * major);
        for (int j = 0; j <= sides; ++j) {
            const float v = static_cast<float>(j) / sides, b = v * 2 * pi;
            const glm::vec3 dir =
                glm::vec3(std::cos(a), 0, std::sin(a)) * std::cos(b) + glm::vec3(0, std::sin(b), 0);
            m.add(centre + dir * minor, {u, v}, dir);
        }
    }
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j) {
            const int a = i * (sides + 1) + j, b = a + 1, c = a + sides + 1, d = c + 1;
            m.tri.insert(m.tri.end(), {a, b, c, b, d, c});
        }
    return m;
}

// A trough along local x: floor at y = 0, 4 wide (z from -2 to 2), low walls.
// `bend` turns it through that many degrees about y over its length (left > 0).
inline Mesh trough(float length, float drop, float bendDegrees, int segments) {
    Mesh m;
    const float pi = 3.14159265f;
    // Cross-section, z and y, from the left rim over the floor to the right rim.
    const std::vector<glm::vec2> section = {{-2.0f, 0.6f}, {-2.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 0.0f},
                                            {1.0f, 0.0f},  {2.0f, 0.0f},  {2.0f, 0.6f}};
    const int cols = static_cast<int>(section.size());
    const float bend = bendDegrees * pi / 180.0f;
    const float radius = std::fabs(bend) > 0 ? length / std::fabs(bend) : 0.0f;
    auto frame = [&](float s, glm::vec3& centre, glm::vec3& side) {
        // s in 0..1 from the start (local +x end) to the far end (local -x).
        if (radius == 0.0f) {
            centre = glm::vec3(length * 0.5f - s * length, -drop * s, 0);
            side = glm::vec3(0, 0, 1);
            return;
        }
        const float a = s * bend;
        const float sign = bend > 0 ? 1.0f : -1.0f;
        centre = glm::vec3(length * 0.5f - radius * std::sin(std::fabs(a)), -drop * s,
                           sign * radius * (1.0f - std::cos(a)));
        side = glm::vec3(sign * std::sin(std::fabs(a)), 0, std::cos(a));
    };
    for (int i = 0; i <= segments; ++i) {
        const float s = static_cast<float>(i) / segments;
        glm::vec3 c, side;
        frame(s, c, side);
        for (int k = 0; k < cols; ++k) {
            const glm::vec3 pos = c + side * section[static_cast<std::size_t>(k)].x +
                                  glm::vec3(0, section[static_cast<std::size_t>(k)].y, 0);
            glm::vec3 nor(0, 1, 0);
            if (k == 0)
                nor = side;
            if (k == cols - 1)
                nor = -side;
            m.add(pos, {s * 2.0f, static_cast<float>(k) / (cols - 1)}, nor);
        }
    }
    for (int i = 0; i < segments; ++i)
        for (int k = 0; k + 1 < cols; ++k) {
            const int a = i * cols + k, b = a + 1, c = a + cols, d = c + 1;
            m.tri.insert(m.tri.end(), {a, b, c, b, d, c});
        }
    // Underside, so the piece casts a closed shadow.
    const int base = static_cast<int>(m.p.size());
    for (int i = 0; i <= segments; ++i) {
        const float s = static_cast<float>(i) / segments;
        glm::vec3 c, side;
        frame(s, c, side);
        m.add(c - side * 2.0f - glm::vec3(0, 0.3f, 0), {s * 2.0f, 0}, {0, -1, 0});
        m.add(c + side * 2.0f - glm::vec3(0, 0.3f, 0), {s * 2.0f, 1}, {0, -1, 0});
    }
    for (int i = 0; i < segments; ++i) {
        const int a = base + 2 * i, b = a + 1, c = a + 2, d = a + 3;
        m.tri.insert(m.tri.end(), {a, c, b, b, c, d});
    }
    return m;
}

// Writes a stand-in for every mesh the game reads that `objects` lacks.
// Returns the names written.
inline std::vector<std::string> fillMissingMeshes(const fs::path& objects) {
    std::vector<std::string> written;
    auto need = [&](const char* name) {
        const bool missing = !fs::exists(objects / name);
        if (missing)
            written.emplace_back(name);
        return missing;
    };
    struct Piece {
        const char* name;
        float drop, bend;
    };
    for (const Piece& piece : {Piece{"straight", 0.0f, 0.0f}, Piece{"ramp", 2.0f, 0.0f},
                               Piece{"left", 0.0f, 90.0f}, Piece{"right", 0.0f, -90.0f}}) {
        const Mesh m = trough(8.0f, piece.drop, piece.bend, 24);
        const std::string obj = std::string(piece.name) + ".obj";
        const std::string stl = std::string(piece.name) + ".stl";
        if (need(obj.c_str()))
            writeObj(m, objects / obj);
        if (need(stl.c_str()))
            writeStl(m, objects / stl);
    }
    if (need("shpere.obj"))
        writeObj(sphere(0.25f, 32, 16), objects / "shpere.obj");
    if (need("pellixHead.obj"))
        writeObj(sphere(0.12f, 16, 8), objects / "pellixHead.obj");
    if (need("ring.obj"))
        writeObj(torus(0.8f, 0.08f, 48, 12), objects / "ring.obj");
    if (need("light.obj"))
        writeObj(sphere(0.2f, 12, 6), objects / "light.obj");
    return written;
}

// ---------------------------------------------------------------------------
// Courses
// ---------------------------------------------------------------------------

struct Placed {
    std::string kind; // piece keyword or "ring"
    glm::mat4 m;
};

inline std::string courseText(const std::vector<Placed>& items, double bestTime) {
    std::ostringstream out;
    out << "Writing this to a file.\n";
    for (const Placed& item : items) {
        out << item.kind;
        const float* f = &item.m[0][0];
        for (int i = 0; i < 16; ++i)
            out << ' ' << f[i];
        out << '\n';
    }
    out << "besttime " << bestTime << '\n';
    return out.str();
}

// A gentle slope of straights under the ball's start, running in -x the way
// the ball starts rolling, with rings along it and one ring off the path so
// a race never completes while it is measured.
inline std::vector<Placed> slopeUnderStart(int pieces, int pathRings) {
    std::vector<Placed> items;
    const float tilt = glm::radians(3.0f);
    const float slope = std::tan(tilt);
    const glm::vec3 start(-0.88f, 65.8f, 21.2f);
    const float surfaceAtStart = start.y - 0.25f - 0.02f;
    for (int i = 0; i < pieces; ++i) {
        const float x = 3.0f - 7.9f * static_cast<float>(i);
        glm::mat4 m =
            glm::translate(glm::mat4(1.0f), glm::vec3(x, surfaceAtStart + slope * (x - start.x), start.z));
        m = glm::rotate(m, tilt, glm::vec3(0, 0, 1));
        items.push_back({"straight", m});
    }
    for (int r = 0; r < pathRings; ++r) {
        const float x = start.x - 5.0f - 7.0f * static_cast<float>(r);
        const glm::vec3 at(x, surfaceAtStart + slope * (x - start.x) + 0.3f, start.z);
        items.push_back({"ring", glm::translate(glm::mat4(1.0f), at)});
    }
    items.push_back({"ring", glm::translate(glm::mat4(1.0f), glm::vec3(40.0f, 20.0f, -40.0f))});
    return items;
}

// Pieces on a grid inside the shadow map's square (x and z within +-45), in
// layers of 100 from y = 0 upwards; kinds cycle ramp, straight, left, right.
inline void addGridPieces(std::vector<Placed>& items, int count, int rings) {
    static const char* kinds[4] = {"ramp", "straight", "left", "right"};
    for (int i = 0; i < count; ++i) {
        const int layer = i / 100, cell = i % 100;
        const float x = -45.0f + 10.0f * static_cast<float>(cell % 10);
        const float z = -45.0f + 10.0f * static_cast<float>(cell / 10);
        glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(x, 12.0f * static_cast<float>(layer), z));
        m = glm::rotate(m, glm::radians(90.0f * static_cast<float>((i / 4) % 4)), glm::vec3(0, 1, 0));
        items.push_back({kinds[i % 4], m});
    }
    for (int r = 0; r < rings; ++r) {
        const int cell = (r * 37) % 100;
        const float x = -45.0f + 10.0f * static_cast<float>(cell % 10);
        const float z = -45.0f + 10.0f * static_cast<float>(cell / 10);
        items.push_back({"ring", glm::translate(glm::mat4(1.0f), glm::vec3(x, 3.0f, z))});
    }
}

// The long course's spread: pieces on a 40 x 25 grid over x and z within
// +-400 at y = 0, kinds and turns cycling as above. From any point of the
// course only a few dozen lie within the camera's far plane.
inline void addSpreadPieces(std::vector<Placed>& items, int count) {
    static const char* kinds[4] = {"ramp", "straight", "left", "right"};
    for (int i = 0; i < count; ++i) {
        const float x = -400.0f + 800.0f / 39.0f * static_cast<float>(i % 40);
        const float z = -400.0f + 800.0f / 24.0f * static_cast<float>((i / 40) % 25);
        glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(x, 0.0f, z));
        m = glm::rotate(m, glm::radians(90.0f * static_cast<float>((i / 4) % 4)), glm::vec3(0, 1, 0));
        items.push_back({kinds[i % 4], m});
    }
}

// The course used until the game data ships one: about the size of a real
// course (30 pieces, 8 rings).
inline std::string temporaryCourse() {
    std::vector<Placed> items = slopeUnderStart(8, 5);
    addGridPieces(items, 22, 2);
    return courseText(items, 0);
}

// The course with `added` generated pieces on the grid (no rings), written
// before its "besttime" line, so what each added piece costs can be told
// apart from the course itself.
// With `spread`, the pieces spread as a long course's do (addSpreadPieces)
// instead of standing in a block under the course.
inline std::string withAddedPieces(const std::string& course, int added, bool spread = false) {
    std::vector<Placed> extra;
    if (spread)
        addSpreadPieces(extra, added);
    else
        addGridPieces(extra, added, 0);
    std::string pieces = courseText(extra, 0);
    pieces = pieces.substr(pieces.find('\n') + 1);       // without the heading
    pieces = pieces.substr(0, pieces.rfind("besttime")); // and the best time
    const std::size_t best = course.rfind("\nbesttime");
    if (best == std::string::npos)
        return course + (course.empty() || course.back() == '\n' ? "" : "\n") + pieces;
    return course.substr(0, best + 1) + pieces + course.substr(best + 1);
}

// ---------------------------------------------------------------------------
// Run folders
// ---------------------------------------------------------------------------

inline fs::path sourceData() {
    return fs::path(ZENTARO_SOURCE_DIR) / "Kobuldo";
}

inline fs::path shippedCoursePath() {
    return sourceData() / "Tracks" / "1.track";
}

inline bool shippedCourseExists() {
    return fs::exists(shippedCoursePath());
}

inline std::string shippedCourseText() {
    std::ifstream in(shippedCoursePath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class RunDir {
  public:
    // Game data copied from the source tree (or from `from`, another tree's
    // Kobuldo/), the given course as 1.track.
    explicit RunDir(const std::string& course, const fs::path& from = sourceData()) {
        static int counter = 0;
        root = fs::temp_directory_path() /
               ("zentaro-bench-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        const fs::path data = root / "Kobuldo";
        fs::create_directories(data / "Tracks");
        fs::create_directories(data / "Objects" / "V2");
        for (const char* sub : {"Shader", "Textures", "Objects/V2"}) {
            if (fs::exists(from / sub))
                fs::copy(from / sub, data / sub,
                         fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        }
        standIns = fillMissingMeshes(data / "Objects" / "V2");
        std::ofstream(data / "Tracks" / "1.track", std::ios::binary) << course;
    }
    ~RunDir() {
        std::error_code ec;
        if (!keep)
            fs::remove_all(root, ec);
    }
    RunDir(const RunDir&) = delete;
    RunDir& operator=(const RunDir&) = delete;

    fs::path root;
    std::vector<std::string> standIns;
    bool keep = false; // leave the folder behind (for profiling by hand)
};

inline std::string joined(const std::vector<std::string>& names) {
    std::string s;
    for (const auto& n : names)
        s += (s.empty() ? "" : ", ") + n;
    return s;
}

// The shipped course, or the temporary one while the game data has none.
inline std::string courseUnderTest(std::string& label) {
    if (shippedCourseExists()) {
        label = "shipped course Kobuldo/Tracks/1.track";
        return shippedCourseText();
    }
    label = "TEMPORARY course (Kobuldo/Tracks/1.track not there yet)";
    return temporaryCourse();
}

// Pieces and rings: the entries the course file counts against its limit.
inline int countEntries(const std::string& course) {
    std::istringstream in(course);
    std::string line, w;
    int n = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        if (words >> w && (w == "ramp" || w == "straight" || w == "left" || w == "right" || w == "ring"))
            ++n;
    }
    return n;
}

// The grown courses the start-up and race benchmarks measure besides the
// course under test: 100 and 300 pieces more, and as many more as make the
// 1,000 entries a course file may hold.
inline std::vector<int> addedPieceCounts(const std::string& course) {
    return {100, 300, std::max(0, static_cast<int>(tovi::kMaxCourseEntries) - countEntries(course))};
}

inline int countPieces(const std::string& course) {
    std::istringstream in(course);
    std::string w;
    int n = 0;
    while (in >> w)
        if (w == "ramp" || w == "straight" || w == "left" || w == "right")
            ++n;
    return n;
}

// Directory of the running executable (the other benchmark programs sit there).
inline fs::path executableDir() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

} // namespace bench

// ---------------------------------------------------------------------------
// Child processes
// ---------------------------------------------------------------------------

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace bench {

struct ChildRun {
    std::vector<std::pair<std::string, double>> results;
    int status = -1;
    long maxRssKb = 0; // from the kernel's accounting of the finished child
    std::string log;   // the child's standard output and error
};

// Runs the program `exe` with `args` in `dir`, its output going to a log file
// in `dir`. When `withLaunchTime` is set, "--launched-at NS" is added first,
// NS being taken just before the process is created, so the child can tell
// the time from launch. "--out FILE" comes first of all.
inline ChildRun runChild(const fs::path& exe, const fs::path& dir, std::vector<std::string> args,
                         bool withLaunchTime) {
    ChildRun run;
    const fs::path out = dir / "bench-results.txt";
    const fs::path log = dir / "bench-child.log";
    fs::remove(out);
    std::vector<std::string> all = {exe.string(), "--out", out.string()};
    const std::size_t launchSlot = all.size() + 1;
    if (withLaunchTime) {
        all.push_back("--launched-at");
        all.push_back("0");
    }
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(stdout);
    std::string launched;
    if (withLaunchTime) {
        launched = std::to_string(nowNs());
        argv[launchSlot] = launched.data();
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        const int nullIn = open("/dev/null", O_RDONLY);
        if (nullIn >= 0)
            dup2(nullIn, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.maxRssKb = usage.ru_maxrss;
    }
    run.results = readResults(out.string());
    std::ifstream in(log);
    std::ostringstream s;
    s << in.rdbuf();
    run.log = s.str();
    return run;
}

inline double resultOr(const ChildRun& run, const std::string& key, double fallback = -1) {
    double v = fallback;
    findResult(run.results, key, v);
    return v;
}

// Prints one figure with its target: "name: value   target ...  [ok|MISSED]".
inline void printFigure(const std::string& name, const std::string& value, const std::string& target,
                        bool met) {
    std::printf("  %-44s %-52s target %-14s %s\n", name.c_str(), value.c_str(), target.c_str(),
                target.empty() ? "" : (met ? "[ok]" : "[MISSED]"));
}

inline void printInfo(const std::string& name, const std::string& value) {
    std::printf("  %-44s %s\n", name.c_str(), value.c_str());
}

} // namespace bench
