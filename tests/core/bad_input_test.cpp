// Course files and meshes are shared and edited by hand: hostile inputs of
// every kind give a message or an empty result, never a crash or a hang.
#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/player/Settings.h"
#include "core/mesh/SceneObject.h"
#include "tests/core/Harness.h"

#include "core/input/Keys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tovi::testing {
namespace {

using scene::SceneObject;

const char* const kIdentity = " 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n";

CourseData parse(const std::string& text, std::string* log = nullptr) {
    CourseData data;
    std::ostringstream messages;
    parseCourse(text, "bad.track", data, messages);
    if (log != nullptr)
        *log = messages.str();
    return data;
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xff);
    return bytes;
}

bool allFinite(const glm::mat4& m) {
    const float* v = &m[0][0];
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(v[i]))
            return false;
    }
    return true;
}

TEST(BadCourse, BinaryJunkAroundEntriesKeepsTheEntries) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::string junk = randomBytes(20000, seed);
        const CourseData data = parse(junk);
        for (const CourseEntry& e : data.entries)
            EXPECT_TRUE(allFinite(e.matrix));
        EXPECT_TRUE(std::isfinite(data.bestTime));
    }
    // Whole entries between junk (NUL bytes included) are still read.
    const std::string junk = randomBytes(5000, 99);
    std::string text = junk + "\nring" + kIdentity + std::string(3, '\0') + "\nbesttime 45000\n" + junk;
    const CourseData data = parse(text);
    ASSERT_GE(data.entries.size(), 1u);
    EXPECT_EQ(data.entries.back().kind, "ring");
}

TEST(BadCourse, HugeAndNonFiniteNumbers) {
    std::string log;
    // Beyond float: infinity, so the entry is skipped with a message.
    CourseData data = parse("ring 1e39 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
                            "ramp 1 0 0 0 0 1 0 0 0 0 1 0 0 " +
                                std::string(400, '9') +
                                " 0 1\n"
                                "straight 1 0 0 0 0 1 0 0 0 0 1 0 nan 0 0 1\n"
                                "left 1 0 0 0 0 1 0 0 0 0 1 0 -inf 0 0 1\n"
                                "right 1 0 0 0 0 1 0 0 0 0 1 0 infinity 0 0 1\n"
                                "ring 1 0 0 0 0 1 0 0 0 0 1 0 NAN(123) 0 0 1\n"
                                "besttime 1e300\n",
                            &log);
    EXPECT_TRUE(data.entries.empty());
    EXPECT_EQ(data.bestTime, 0.0);
    std::size_t messages = 0;
    for (std::size_t p = log.find("non-finite"); p != std::string::npos; p = log.find("non-finite", p + 1))
        ++messages;
    EXPECT_EQ(messages, 7u) << log;
    EXPECT_NE(log.find("bad.track"), std::string::npos);

    // Large but finite numbers are numbers; tiny ones too.
    data = parse("ring 3e38 0 0 0 0 1 0 0 0 0 1 0 1e-45 -3e38 0 1\nbesttime 3.4e38\n");
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_FLOAT_EQ(data.entries[0].matrix[0][0], 3e38f);
    EXPECT_FLOAT_EQ(data.bestTime, 3.4e38f);

    // A best time that is not there (end of file) keeps the one before.
    data = parse("besttime 45000 besttime");
    EXPECT_EQ(data.bestTime, 45000.0);
    data = parse("besttime nan");
    EXPECT_EQ(data.bestTime, 0.0);
}

TEST(BadCourse, AMillionWordsAndATenMegabyteLine) {
    std::string words;
    words.reserve(6'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        words += (i % 7 == 0) ? "ring " : "junk ";
    words += "besttime 45000\n";
    std::string log;
    CourseData data = parse(words, &log);
    // 142,858 ring words, each ended by the next word: only the first
    // thousand become rings.
    EXPECT_EQ(data.entries.size(), kMaxCourseEntries);
    EXPECT_NE(log.find("holds 142858 pieces and rings"), std::string::npos) << log;
    EXPECT_EQ(data.bestTime, 45000.0);

    const std::string line(10 * 1024 * 1024, 'x');
    data = parse("straight" + std::string(kIdentity) + line + " ring" + kIdentity + line + "\nbesttime 1\n");
    ASSERT_EQ(data.entries.size(), 2u);
    EXPECT_EQ(data.bestTime, 1.0);

    // Ten megabytes of digits is one number, far beyond float: skipped.
    data = parse("ring 1 0 0 0 0 1 0 0 0 0 1 0 " + std::string(10 * 1024 * 1024, '7') + " 0 0 1\n", &log);
    EXPECT_TRUE(data.entries.empty());
    EXPECT_NE(log.find("non-finite"), std::string::npos);
}

TEST(BadCourse, MoreEntriesThanACourseMayHoldAreLeftOut) {
    std::string text = "Writing this to a file.\n";
    for (std::size_t i = 0; i < kMaxCourseEntries + 500; ++i)
        text += (i % 2 ? "ring" : "straight") + std::string(kIdentity);
    text += "besttime 45000\n";

    std::string log;
    const CourseData data = parse(text, &log);
    EXPECT_EQ(data.entries.size(), kMaxCourseEntries);
    EXPECT_TRUE(data.truncated);
    EXPECT_EQ(data.bestTime, 45000.0); // the best time after them still counts
    EXPECT_NE(
        log.find("bad.track holds 1500 pieces and rings, more than the 1000 a course may have; the other 500 "
                 "are left out"),
        std::string::npos)
        << log;
    EXPECT_FALSE(parse(text.substr(0, text.size() / 2)).truncated);
}

// A course that was not loaded whole (entries beyond the limit, an entry or
// a best time skipped for a non-finite number) is never saved over: a won
// race and the editor's save leave it as it was, and the player is told
// why once, on standard output and on the screen.
TEST(BadCourse, ACourseNotLoadedWholeIsKeptAndThePlayerToldOnce) {
    std::string full = "Writing this to a file.\n";
    for (std::size_t i = 0; i < kMaxCourseEntries + 1; ++i)
        full += "ring" + std::string(kIdentity);
    full += "besttime 45000\n";
    const std::string good = std::string("straight") + kIdentity;
    struct Case {
        std::string text;
        const char* why;
    };
    const Case cases[] = {
        {full, "it holds more than the 1000 pieces and rings a course may have"},
        {good + "ring 1 0 0 0 0 1 0 0 0 0 1 0 nan 0 0 1\nbesttime 45000\n",
         "1 entry with a non-finite number had to be skipped"},
        {good + "besttime inf\n", "1 entry with a non-finite number had to be skipped"},
        {"left 1 0 0 0 0 1 0 0 0 0 1 0 1e39 0 0 1\n" + good + "besttime -nan\n",
         "2 entries with a non-finite number had to be skipped"},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStdout();
        Harness h(c.text);
        h.tap(key::B);
        for (int i = 0; i < 5; ++i)
            h.frame();
        EXPECT_EQ(h.controls->notice.text, "Saving is off: course not loaded whole") << c.why;
        h.tap(key::Enter);
        h.tap(key::E);
        h.input.press(key::LeftControl);
        h.input.press(key::S);
        for (int i = 0; i < 5; ++i)
            h.frame();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(readText(h.trackPath), c.text) << c.why;
        const std::string kept =
            "Not saving: " + h.trackPath + " was not loaded whole and is kept as it is (" + c.why + ")\n";
        const std::size_t first = out.find(kept);
        EXPECT_NE(first, std::string::npos) << out;
        EXPECT_EQ(out.find("Not saving", first + 1), std::string::npos) << "said more than once";
        // The line leaves the screen after a while.
        h.input.releaseAll();
        h.frame(Notice::kSeconds * 1000.0);
        h.frame();
        EXPECT_EQ(h.controls->notice.text, "");
    }
}

TEST(BadCourse, LoadTrackBuildsOnlyUsableEntriesAndFallsBackToTheDefaultTime) {
    const std::string junk = randomBytes(4000, 7);
    ::testing::internal::CaptureStdout();
    Harness h(junk + "\nring 1 0 0 0 0 1 0 0 0 0 1 0 nan 0 0 1\n" + "straight" + kIdentity +
              "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 70 0 1\nbesttime inf\n" + junk);
    const std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_GE(h.tracks.size(), 1u);
    ASSERT_GE(h.rings.size(), 1u);
    for (auto* o : h.tracks)
        EXPECT_TRUE(allFinite(o->modelMatrix));
    for (auto* o : h.rings)
        EXPECT_TRUE(allFinite(o->modelMatrix));
    EXPECT_NE(out.find("Skipping ring entry with a non-finite number in " + h.trackPath), std::string::npos)
        << out;
    EXPECT_NE(out.find("Skipping besttime entry"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(h.controls->course.bestTime, 10000000);

    // The level plays: a few frames of a race with the keys down.
    h.tap(key::Enter);
    h.input.press(key::W);
    for (int i = 0; i < 30; ++i) {
        h.frame();
        h.world.step(1.0f / 60.0f);
    }
    EXPECT_TRUE(allFinite(h.world.getBallModelMatrix()));
}

TEST(BadCourse, HugePlacementsDoNotBreakThePhysics) {
    // Finite but absurd: a piece far out and a piece scaled past float range
    // on its way into the collision world.
    ::testing::internal::CaptureStdout();
    Harness h("straight 1 0 0 0 0 1 0 0 0 0 1 0 1e30 1e30 1e30 1\n"
              "ramp 3e38 0 0 0 0 3e38 0 0 0 0 3e38 0 0 60 0 1\n"
              "left 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
              "besttime 45000\n");
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(h.tracks.size(), 3u);
    h.tap(key::Enter);
    for (int i = 0; i < 120; ++i) {
        h.frame();
        h.world.step(1.0f / 60.0f);
    }
    EXPECT_TRUE(allFinite(h.world.getBallModelMatrix()));
}

TEST(BadCourse, AFolderOrAnEmptyFileInsteadOfTheCourse) {
    {
        ::testing::internal::CaptureStdout();
        Harness h("");
        std::filesystem::create_directories(h.trackPath);
        h.tracks.clear();
        h.controls->course.loadTrack(h.trackPath);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("Impossible to open the file !\n" + h.trackPath), std::string::npos) << out;
        EXPECT_TRUE(h.tracks.empty());
        // What cannot be read is never replaced by the empty level.
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(h.controls->course.saveTrack(h.trackPath));
        EXPECT_NE(::testing::internal::GetCapturedStdout().find("Not saving: " + h.trackPath),
                  std::string::npos);
        EXPECT_TRUE(std::filesystem::is_directory(h.trackPath));
    }
    {
        // No course file at all: the first save makes one.
        ::testing::internal::CaptureStdout();
        Harness h("");
        ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(h.controls->course.saveTrack(h.trackPath));
        EXPECT_EQ(readText(h.trackPath), "Writing this to a file.\nbesttime 0\n");
    }
    {
        ::testing::internal::CaptureStdout();
        Harness h(" \n\t\n");
        ::testing::internal::GetCapturedStdout();
        EXPECT_TRUE(h.tracks.empty() && h.rings.empty());
        EXPECT_DOUBLE_EQ(h.controls->course.bestTime, 10000000);
    }
}

// ---------------------------------------------------------------------------
// Meshes through the readers' public functions.

struct Mesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
    bool empty() const { return positions.empty() && uvs.empty() && normals.empty(); }
};

bool readObj(const std::string& path, Mesh& mesh, std::string* out = nullptr) {
    ::testing::internal::CaptureStdout();
    const bool ok = SceneObject::loadObjMesh(path, mesh.positions, mesh.uvs, mesh.normals);
    const std::string text = ::testing::internal::GetCapturedStdout();
    if (out != nullptr)
        *out = text;
    return ok;
}

const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\n";

// The settings, the course list and the courses it names are read with a
// size limit far above any real one: a file with no line breaks, or a link to
// an endless device, is refused with a message instead of filling memory.
TEST(BadSmallFiles, OversizedOrEndlessFilesAreNotReadAndSaySo) {
    TempDir dir;
    const std::string huge(200u << 10, 'x');
    for (const bool endless : {false, true}) {
        const std::string settingsFile = dir.file(endless ? "endless.txt" : "settings.txt");
        if (endless)
            std::filesystem::create_symlink("/dev/zero", settingsFile);
        else
            writeText(settingsFile, "volume 3\n" + huge);
        std::ostringstream log;
        const Settings settings(settingsFile, &log);
        // Only the start of an oversized settings file is read.
        EXPECT_EQ(settings.get("volume", "none"), endless ? "none" : "3");
        EXPECT_NE(log.str().find(settingsFile + " is larger than 64 KB"), std::string::npos) << log.str();
    }

    const std::string tracks = dir.file("tracks/");
    std::filesystem::create_directory(tracks);
    writeText(tracks + "big.track",
              "straight" + std::string(kIdentity) + std::string(kMaxCourseFileBytes, ' '));
    writeText(tracks + "2.track", "ring" + std::string(kIdentity) + "besttime 9000\n");
    writeText(tracks + CourseList::kListFile, "big.track Big\n2.track Two\n");
    std::ostringstream log;
    const CourseList list(tracks, log);
    ASSERT_NE(list.chosenCourse(), nullptr);
    EXPECT_EQ(list.chosenCourse()->file, "2.track");
    EXPECT_NE(log.str().find("Course 1 is unavailable: " + tracks + "big.track is larger than 1 MB"),
              std::string::npos)
        << log.str();
    CourseData data;
    std::ostringstream courseLog;
    EXPECT_FALSE(readCourseFile(tracks + "big.track", data, courseLog));
    EXPECT_TRUE(data.entries.empty());
    EXPECT_NE(courseLog.str().find("is larger than 1 MB"), std::string::npos) << courseLog.str();

    writeText(tracks + CourseList::kListFile, "2.track Two\n" + huge);
    std::ostringstream listLog;
    const CourseList capped(tracks, listLog);
    EXPECT_NE(listLog.str().find(tracks + "courses.txt is larger than 64 KB"), std::string::npos)
        << listLog.str();
    EXPECT_NE(listLog.str().find("racing " + tracks + "1.track"), std::string::npos)
        << "the list is not used: " << listLog.str();
}

TEST(BadMesh, IndicesOutOfRangeZeroNegativeOrHugeAreRefused) {
    TempDir dir;
    const char* faces[] = {
        "f 1/1/1 2/2/1 4/3/1\n",           "f 0/0/0 0/0/0 0/0/0\n",
        "f -1/-1/-1 -2/-2/-1 -3/-3/-1\n",  "f 1/1/2 2/2/1 3/3/1\n",
        "f 1/4/1 2/2/1 3/3/1\n",           "f 2147483647/1/1 2/2/1 3/3/1\n",
        "f 1/1/1 2/2/1 3/3/-2147483648\n", "f 1/1/1 2/2/1 99999999999999999999999/3/1\n",
    };
    for (const char* face : faces) {
        const std::string path = dir.file("bad.obj");
        writeText(path, std::string(kTriangle) + face);
        Mesh mesh;
        std::string out;
        EXPECT_FALSE(readObj(path, mesh, &out)) << face;
        EXPECT_TRUE(mesh.empty()) << face;
        EXPECT_NE(out.find("Invalid face index in " + path), std::string::npos) << face << out;
    }
}

TEST(BadMesh, MissingFieldsAreRefusedOrReadAsZero) {
    TempDir dir;
    const std::string path = dir.file("short.obj");
    // Faces cut short, at the end of the file or of their line.
    for (const char* face :
         {"f", "f 1/1/1 2/2/1", "f 1/1/1 2/2/1 3/3", "f 1//1 2//1 3//1", "f 1 2 3", "f a/b/c"}) {
        writeText(path, std::string(kTriangle) + face);
        Mesh mesh;
        std::string out;
        EXPECT_FALSE(readObj(path, mesh, &out)) << face;
        EXPECT_TRUE(mesh.empty());
        EXPECT_NE(out.find("File can't be read by our simple parser"), std::string::npos) << face;
    }
    // Vertices cut short keep zeros; the file still reads.
    writeText(path, "v 1\nv\nv 0 1 0\nvt\nvt 1 0\nvt 0 1\nvn\nf 1/1/1 2/2/1 3/3/1\nv");
    Mesh mesh;
    ASSERT_TRUE(readObj(path, mesh));
    ASSERT_EQ(mesh.positions.size(), 3u);
    EXPECT_EQ(mesh.positions[0], glm::vec3(1, 0, 0));
    EXPECT_EQ(mesh.positions[1], glm::vec3(0, 0, 0));
    EXPECT_EQ(mesh.normals[0], glm::vec3(0, 0, 0));
    // A file without faces is an empty mesh.
    writeText(path, kTriangle);
    Mesh none;
    EXPECT_TRUE(readObj(path, none));
    EXPECT_TRUE(none.empty());
}

TEST(BadMesh, JunkLongLinesAndNonFiniteNumbersGiveFiniteDrawableData) {
    TempDir dir;
    const std::string path = dir.file("junk.obj");
    for (unsigned seed = 1; seed <= 10; ++seed) {
        writeText(path, randomBytes(50000, seed));
        Mesh mesh;
        readObj(path, mesh); // any result, no crash
    }
    // A 10 MB line and a word of 10 MB before a valid triangle.
    writeText(path, std::string(10 * 1024 * 1024, 'q') + "\n" + kTriangle + "# " +
                        std::string(10 * 1024 * 1024, 'v') + "\nf 1/1/1 2/2/1 3/3/1\n");
    Mesh big;
    ASSERT_TRUE(readObj(path, big));
    EXPECT_EQ(big.positions.size(), 3u);

    // nan and inf in positions, uvs and normals: the frames and the merged
    // mesh stay finite where they can, and the indexer neither crashes nor
    // merges a nan with anything.
    writeText(path, "v nan 0 0\nv 1 inf 0\nv 0 1 -inf\nv 0 0 0\nvt nan nan\nvt 1 0\nvt 0 1\n"
                    "vn inf 0 0\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\nf 4/2/2 4/2/2 4/2/2\nf 4/1/2 2/3/1 3/2/2\n");
    Mesh odd;
    ASSERT_TRUE(readObj(path, odd));
    ASSERT_EQ(odd.positions.size(), 9u);
    std::vector<glm::vec3> tangents, bitangents;
    scene::computeTangentFrames(odd.positions, odd.uvs, odd.normals, tangents, bitangents);
    ASSERT_EQ(tangents.size(), 9u);
    std::vector<unsigned short> indices;
    std::vector<glm::vec3> p, n, t, b;
    std::vector<glm::vec2> u;
    ASSERT_TRUE(scene::buildIndexedMeshWithTangents(odd.positions, odd.uvs, odd.normals, tangents, bitangents,
                                                    indices, p, u, n, t, b));
    EXPECT_EQ(indices.size(), 9u);
    for (unsigned short i : indices)
        EXPECT_LT(i, p.size());
}

TEST(BadMesh, MoreThan65536VerticesFromAFileAreRefusedByTheIndexers) {
    TempDir dir;
    const std::string path = dir.file("huge.obj");
    // 22,000 triangles with their own corners: 66,000 distinct vertices.
    std::string text;
    const int triangles = 22000;
    for (int i = 0; i < triangles; ++i) {
        const float x = static_cast<float>(i);
        text += "v " + std::to_string(x) + " 0 0\nv " + std::to_string(x) + " 1 0\nv " + std::to_string(x) +
                " 0 1\n";
    }
    text += "vt 0 0\nvt 1 0\nvt 0 1\nvn 1 0 0\n";
    for (int i = 0; i < triangles; ++i) {
        const int v = 3 * i + 1;
        text += "f " + std::to_string(v) + "/1/1 " + std::to_string(v + 1) + "/2/1 " + std::to_string(v + 2) +
                "/3/1\n";
    }
    writeText(path, text);
    Mesh mesh;
    ASSERT_TRUE(readObj(path, mesh));
    ASSERT_EQ(mesh.positions.size(), 66000u);

    std::vector<unsigned short> indices;
    std::vector<glm::vec3> p, n, t, b;
    std::vector<glm::vec2> u;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(SceneObject::buildIndexedMesh(mesh.positions, mesh.uvs, mesh.normals, indices, p, u, n));
    std::vector<glm::vec3> tangents, bitangents;
    scene::computeTangentFrames(mesh.positions, mesh.uvs, mesh.normals, tangents, bitangents);
    EXPECT_FALSE(scene::buildIndexedMeshWithTangents(mesh.positions, mesh.uvs, mesh.normals, tangents,
                                                     bitangents, indices, p, u, n, t, b));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("more than 65536"), std::string::npos) << out;
    EXPECT_TRUE(indices.empty() && p.empty());

    // The same corners over and over share their vertices and fit easily.
    std::vector<glm::vec3> many(300000, glm::vec3(1, 2, 3));
    std::vector<glm::vec2> manyUv(300000, glm::vec2(0.5f));
    std::vector<glm::vec3> manyN(300000, glm::vec3(0, 1, 0));
    tangents.assign(300000, glm::vec3(1, 0, 0));
    bitangents.assign(300000, glm::vec3(0, 0, 1));
    ASSERT_TRUE(scene::buildIndexedMeshWithTangents(many, manyUv, manyN, tangents, bitangents, indices, p, u,
                                                    n, t, b));
    EXPECT_EQ(p.size(), 1u);
}

TEST(BadMesh, StlJunkAndCollisionBodiesFromIt) {
    TempDir dir;
    const std::string path = dir.file("bad.stl");
    PhysicsWorld world;
    world.createGround();
    world.createBall();
    const std::vector<std::string> files = {
        randomBytes(30000, 5),
        "solid x\nvertex 1 2\nvertex\nvertex nan inf -inf\nendsolid\n", // short and non-finite
        "solid x\nvertex 0 0 0\nvertex 1 0 0\n",                        // not a whole triangle
        "solid x\n" + std::string(10 * 1024 * 1024, 'v') + "\nendsolid\n",
        "solid x\nvertex 1e38 1e38 1e38\nvertex -1e38 0 0\nvertex 0 -1e38 1e38\nendsolid\n",
        "solid x\nvertex 0 0 0\nvertex 0 0 0\nvertex 0 0 0\nendsolid\n", // degenerate
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        writeText(path, files[i]);
        std::vector<glm::vec3> vertices;
        EXPECT_TRUE(SceneObject::loadStlVertices(path, vertices)) << i;
        EXPECT_EQ(world.addTrackBody(vertices, glm::mat4(1.0f)), static_cast<int>(i)) << i;
    }
    world.resetBall();
    for (int i = 0; i < 120; ++i)
        world.step(1.0f / 60.0f);
    EXPECT_TRUE(allFinite(world.getBallModelMatrix()));
}

TEST(BadMesh, AFolderInsteadOfAMeshIsAnEmptyMeshAtWorst) {
    TempDir dir;
    const std::string path = dir.file("folder.obj");
    std::filesystem::create_directories(path);
    Mesh mesh;
    readObj(path, mesh);
    EXPECT_TRUE(mesh.empty());
    std::vector<glm::vec3> vertices;
    ::testing::internal::CaptureStdout();
    SceneObject::loadStlVertices(path, vertices);
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(vertices.empty());
}

} // namespace
} // namespace tovi::testing
