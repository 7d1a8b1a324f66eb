#include "core/course/CourseFile.h"
#include "core/course/CourseFileInternal.h"
#include "core/course/CourseStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using tovi::CourseData;
using tovi::CoursePiece;

CourseData parse(const std::string& text, std::string* log = nullptr) {
    CourseData data;
    std::ostringstream messages;
    tovi::parseCourse(text, "test.track", data, messages);
    if (log != nullptr) {
        *log = messages.str();
    }
    return data;
}

glm::mat4 matrixOf(std::initializer_list<float> values) {
    glm::mat4 m(1.0f);
    float* out = &m[0][0];
    int i = 0;
    for (float v : values) {
        out[i++] = v;
    }
    return m;
}

const char* const kIdentity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        path = fs::temp_directory_path() / ("zentaro-course-" + std::to_string(random()));
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : fs::directory_iterator(path)) {
            result.push_back(entry.path().filename().string());
        }
        return result;
    }
    fs::path path;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CourseFormat, WritesTheGameLayoutAndReadsItBack) {
    const glm::mat4 ramp = matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f, 12.345678f, 1234567.0f, 1});
    const glm::mat4 left = matrixOf({0.70710678f, 0, -0.70710678f, 0, 0, 1, 0, 0, 0.70710678f, 0, 0.70710678f,
                                     0, 3.25f, -7.0f, 0.000012345678f, 1});
    const glm::mat4 ring = matrixOf({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1e-7f, 65.8f, 21.2f, 1});
    const std::vector<CoursePiece> pieces = {{"ramp", ramp}, {"left", left}, {"straight", glm::mat4(1.0f)}};

    const std::string text = tovi::formatCourse(pieces, {ring}, 1234567.0);
    EXPECT_EQ(text, "Writing this to a file.\n"
                    "ramp 1 0 0 0 0 1 0 0 0 0 1 0 -0.5 12.3457 1.23457e+06 1\n"
                    "left 0.707107 0 -0.707107 0 0 1 0 0 0.707107 0 0.707107 0 3.25 -7 1.23457e-05 1\n"
                    "straight 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
                    "ring 2 0 0 0 0 2 0 0 0 0 2 0 1e-07 65.8 21.2 1\n"
                    "besttime 1234567\n");

    std::string log;
    const CourseData back = parse(text, &log);
    EXPECT_EQ(log, "");
    ASSERT_EQ(back.entries.size(), 4u);
    EXPECT_EQ(back.entries[0].kind, "ramp");
    EXPECT_EQ(back.entries[1].kind, "left");
    EXPECT_EQ(back.entries[2].kind, "straight");
    EXPECT_EQ(back.entries[3].kind, "ring");
    EXPECT_EQ(back.entries[0].matrix,
              matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f, 12.3457f, 1234570.0f, 1}));
    EXPECT_EQ(back.entries[1].matrix, matrixOf({0.707107f, 0, -0.707107f, 0, 0, 1, 0, 0, 0.707107f, 0,
                                                0.707107f, 0, 3.25f, -7.0f, 1.23457e-05f, 1}));
    EXPECT_EQ(back.entries[2].matrix, glm::mat4(1.0f));
    EXPECT_EQ(back.entries[3].matrix, matrixOf({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1e-7f, 65.8f, 21.2f, 1}));
    EXPECT_EQ(back.bestTime, 1234567.0) << "the best time is kept whole";

    // Saving what was read gives the same text again.
    std::vector<CoursePiece> again;
    for (int i = 0; i < 3; ++i) {
        again.push_back({back.entries[i].kind, back.entries[i].matrix});
    }
    EXPECT_EQ(tovi::formatCourse(again, {back.entries[3].matrix}, back.bestTime), text);
}

// How every earlier build reads a course: words by "%s", 16 numbers by "%f"
// after a piece or ring, one after "besttime", anything else skipped.
std::string readLikeEarlierBuilds(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream seen;
    std::string word;
    while (in >> word) {
        const bool entry =
            word == "ramp" || word == "straight" || word == "left" || word == "right" || word == "ring";
        if (!entry && word != "besttime")
            continue;
        seen << word;
        for (int i = 0; i < (entry ? 16 : 1); ++i) {
            float value = 0.0f;
            in >> value;
            seen << ' ' << value;
        }
        seen << '\n';
    }
    return seen.str();
}

TEST(CourseFormat, TheAuthorTimeTravelsWithTheCourseAndEarlierBuildsPassItOver) {
    const std::vector<CoursePiece> pieces = {
        {"ramp", matrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 60, 2, 1})}};
    const std::vector<glm::mat4> rings = {matrixOf({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 58, 2, 1})};
    const std::string without = tovi::formatCourse(pieces, rings, 24000.0);
    const std::string with = tovi::formatCourse(pieces, rings, 24000.0, "", 21024.0);
    EXPECT_NE(with.find("\nauthor=21024\nbesttime 24000\n"), std::string::npos) << with;
    EXPECT_EQ(readLikeEarlierBuilds(with), readLikeEarlierBuilds(without));

    std::string log;
    const CourseData back = parse(with, &log);
    EXPECT_EQ(log, "");
    EXPECT_EQ(back.authorTime, 21024.0);
    EXPECT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.bestTime, 24000.0);
    EXPECT_EQ(parse(without).authorTime, std::nullopt);

    // A bad author time is said, dropped from the next save, and does not
    // keep the course from being saved over.
    const CourseData bad = parse("besttime 24000 author=-3\n", &log);
    EXPECT_NE(log.find("test.track"), std::string::npos);
    EXPECT_EQ(bad.authorTime, std::nullopt);
    EXPECT_EQ(bad.skipped, 0u);
}

TEST(CourseFormat, EmptyLevel) {
    EXPECT_EQ(tovi::formatCourse({}, {}, 45000), "Writing this to a file.\nbesttime 45000\n");
}

TEST(CourseParsing, ARaceStartLineMovesTheStartAndBrokenOnesAreSkipped) {
    EXPECT_FALSE(parse("besttime 1\n").start.named);
    EXPECT_EQ(parse("besttime 1\n").start.position, tovi::kDefaultRaceStart)
        << "no start line: the game's own";

    const std::string text = tovi::formatCourse({{"straight", glm::mat4(1.0f)}}, {}, 5000, "", std::nullopt,
                                                tovi::RaceStart{true, {-0.88f, 140.5f, 3}});
    EXPECT_EQ(text, "Writing this to a file.\nstart -0.88 140.5 3\n"
                    "straight 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\nbesttime 5000\n");
    const CourseData back = parse(text);
    EXPECT_TRUE(back.start.named);
    EXPECT_EQ(back.start.position, glm::vec3(-0.88f, 140.5f, 3));
    EXPECT_EQ(back.entries.size(), 1u);
    EXPECT_EQ(back.skipped, 0u);

    std::string log;
    const CourseData bad = parse("start 1 nan 3\nstart 0 20000 0\nstart 1 2\nstraight\n", &log);
    EXPECT_FALSE(bad.start.named);
    EXPECT_EQ(bad.start.position, tovi::kDefaultRaceStart);
    EXPECT_EQ(bad.skipped, 3u) << "so the file is never saved over without its start";
    EXPECT_EQ(bad.entries.size(), 1u) << "the piece after a short start line is still read";
    EXPECT_NE(log.find("Skipping start entry"), std::string::npos);
}

TEST(CourseParsing, BestTimeEntries) {
    CourseData data = parse("besttime 45000\n");
    EXPECT_TRUE(data.entries.empty());
    EXPECT_EQ(data.bestTime, 45000.0);

    EXPECT_EQ(parse(std::string("ring ") + kIdentity + "\n").bestTime, 0.0);
    EXPECT_EQ(parse("").bestTime, 0.0);
    EXPECT_EQ(parse("besttime 5 besttime 7.5\n").bestTime, 7.5);
    // A keyword without its number changes nothing and the next word counts.
    data = parse("besttime 300 besttime ring");
    EXPECT_EQ(data.bestTime, 300.0);
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.entries[0].matrix, glm::mat4(1.0f));
}

TEST(CourseParsing, LineBreaksCarryNoMeaning) {
    const std::string oneEach = "ramp 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
                                "ring 0 1 0 0 -1 0 0 0 0 0 1 0 4 5 6 1\nbesttime 99\n";
    const std::string scattered =
        "  ramp\n1 2\t3 4\n\n5 6 7 8 9 10 11 12 13\r\n14 15 16 ring 0 1 0 0 -1 0 0 0\n"
        "0 0 1 0 4 5 6 1 besttime\n\n99";
    const CourseData a = parse(oneEach);
    const CourseData b = parse(scattered);
    ASSERT_EQ(a.entries.size(), 2u);
    ASSERT_EQ(b.entries.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a.entries[i].kind, b.entries[i].kind);
        EXPECT_EQ(a.entries[i].matrix, b.entries[i].matrix);
    }
    EXPECT_EQ(a.entries[0].matrix, matrixOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(b.bestTime, 99.0);
}

TEST(CourseParsing, ShortMatricesKeepIdentityValues) {
    // Three numbers, then the next entry starts.
    CourseData data = parse(std::string("left 2 3 4 ring ") + kIdentity);
    ASSERT_EQ(data.entries.size(), 2u);
    EXPECT_EQ(data.entries[0].kind, "left");
    EXPECT_EQ(data.entries[0].matrix, matrixOf({2, 3, 4}));
    EXPECT_EQ(data.entries[1].kind, "ring");

    // A number glued to a word: the number counts, the rest is the next word.
    data = parse("straight 1.5abc 7 ring2 right 8e1ring 1 2");
    ASSERT_EQ(data.entries.size(), 3u);
    EXPECT_EQ(data.entries[0].matrix, matrixOf({1.5f}));
    EXPECT_EQ(data.entries[1].kind, "right");
    EXPECT_EQ(data.entries[1].matrix, matrixOf({80}));
    EXPECT_EQ(data.entries[2].kind, "ring");
    EXPECT_EQ(data.entries[2].matrix, matrixOf({1, 2}));

    // A keyword at the very end still gives its piece.
    data = parse("ramp");
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.entries[0].matrix, glm::mat4(1.0f));

    // Numbers beyond the sixteenth are plain words and are skipped.
    data = parse("ring 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 besttime 3");
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.bestTime, 3.0);
}

TEST(CourseParsing, UnknownAndMiscasedWordsAreSkipped) {
    const CourseData data = parse(std::string("Writing this to a file.\nRAMP ") + kIdentity + "\nRing " +
                                  kIdentity + "\nBestTime 5\nstraightt 1 2\nring");
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.entries[0].kind, "ring");
    EXPECT_EQ(data.bestTime, 0.0);
}

TEST(CourseParsing, NonFiniteEntriesAreSkippedWithAMessage) {
    std::string log;
    const CourseData data = parse("ring 1 0 0 0 0 nan 0 0 0 0 1 0 0 0 0 1\n"
                                  "ramp 1 0 0 0 0 1 0 0 0 0 1 0 0 inf 0 1\n"
                                  "left 1 0 0 0 0 1 0 0 0 0 1 0 1e39 0 0 1\n"
                                  "straight 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1\n"
                                  "besttime 400 besttime -infinity\n",
                                  &log);
    ASSERT_EQ(data.entries.size(), 1u); // the broken entries' numbers were not read as words
    EXPECT_EQ(data.entries[0].kind, "straight");
    EXPECT_EQ(data.entries[0].matrix[3], glm::vec4(5, 6, 7, 1));
    EXPECT_EQ(data.bestTime, 400.0);
    EXPECT_EQ(log, "Skipping ring entry with a non-finite number in test.track\n"
                   "Skipping ramp entry with a non-finite number in test.track\n"
                   "Skipping left entry with a non-finite number in test.track\n"
                   "Skipping besttime entry with a non-finite number in test.track\n");
}

TEST(CourseParsing, VeryLongWordsAreJustWords) {
    const std::string longWord(5000, 'x');
    const std::string longRing = "ring" + std::string(300, 'g');
    const std::string longNumber = "0." + std::string(400, '0') + "5";
    const CourseData data =
        parse(longWord + " " + longRing + " ramp " + longNumber + " " + longWord + " besttime 12");
    ASSERT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.entries[0].kind, "ramp");
    EXPECT_EQ(data.entries[0].matrix, matrixOf({0.0f}));
    EXPECT_EQ(data.bestTime, 12.0);
}

TEST(CourseFile, ReadsAFileAndReportsOneThatCannotBeOpened) {
    TempDir dir;
    spit(dir.file("1.track"), std::string("straight ") + kIdentity + "\nbesttime 45000\n");
    CourseData data;
    std::ostringstream log;
    ASSERT_TRUE(tovi::readCourseFile(dir.file("1.track"), data, log));
    EXPECT_EQ(data.entries.size(), 1u);
    EXPECT_EQ(data.bestTime, 45000.0);

    for (const std::string& bad : {dir.file("missing.track"), dir.path.string()}) {
        std::ostringstream failLog;
        EXPECT_FALSE(tovi::readCourseFile(bad, data, failLog));
        EXPECT_EQ(failLog.str(), "Impossible to open the file !\n" + bad);
        EXPECT_EQ(data.entries.size(), 1u); // untouched
    }
}

TEST(CourseSaving, ReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.file("1.track");
    spit(path, "old course\n");
    ::chmod(path.c_str(), 0640);

    std::string error;
    ASSERT_TRUE(tovi::writeFileAtomically(path, "new course\n", &error)) << error;
    EXPECT_EQ(slurp(path), "new course\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"1.track"});
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    ASSERT_TRUE(tovi::writeFileAtomically(dir.file("fresh.track"), "", &error)) << error;
    EXPECT_TRUE(fs::exists(dir.file("fresh.track")));
}

// An unchanged course is not written again while the file is the one last
// written; deleted (to go back to the shipped course) or changed by hand, it
// is written again by the next save.
TEST(CourseSaving, AnUnchangedCourseIsWrittenAgainWhenTheFileOnDiskIsNotTheSaved) {
    TempDir dir;
    const std::string path = dir.file("2.track");
    tovi::CourseStore store;
    store.adopt(path, false, CourseData{});
    const std::vector<CoursePiece> pieces = {{"straight", glm::mat4(1.0f)}};
    const std::vector<glm::mat4> rings = {glm::mat4(2.0f)};
    std::ostringstream log;
    auto save = [&] {
        return store.save(path, pieces, rings, 42.0, std::nullopt, tovi::CourseStore::Editor, log);
    };
    ASSERT_TRUE(save()) << log.str();
    const std::string written = slurp(path);
    ASSERT_FALSE(written.empty());

    const tovi::FileStamp before = tovi::stampOf(path);
    ASSERT_TRUE(save());
    EXPECT_TRUE(tovi::stampOf(path) == before) << "nothing changed: nothing written";

    fs::remove(path);
    ASSERT_TRUE(save()) << log.str();
    EXPECT_EQ(slurp(path), written) << "a deleted file is written again";

    spit(path, "edited by hand\n");
    ASSERT_TRUE(save()) << log.str();
    EXPECT_EQ(slurp(path), written) << "a changed file is written again";
    EXPECT_TRUE(log.str().empty()) << log.str();
}

TEST(CourseSaving, FailedSavesLeaveTheOldCourseAlone) {
    TempDir dir;
    const std::string path = dir.file("1.track");
    const std::string old = "Writing this to a file.\nbesttime 45000\n";
    spit(path, old);

    using tovi::detail::AtomicWriteStep;
    for (AtomicWriteStep step : {AtomicWriteStep::CreateTemp, AtomicWriteStep::Write, AtomicWriteStep::Sync,
                                 AtomicWriteStep::Close, AtomicWriteStep::Rename}) {
        std::string error;
        EXPECT_FALSE(tovi::detail::writeFileAtomicallyWithFailure(path, "besttime 1\n", &error, step));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(slurp(path), old);
        EXPECT_EQ(dir.names(), std::vector<std::string>{"1.track"}); // no temporary left behind
    }

    // Folders that cannot take the file, whoever runs the game.
    std::string error;
    EXPECT_FALSE(tovi::writeFileAtomically(dir.file("no/such/folder/1.track"), "x", &error));
    EXPECT_NE(error, "");
    spit(dir.file("plain"), "a file, not a folder");
    error.clear();
    EXPECT_FALSE(tovi::writeFileAtomically(dir.file("plain/1.track"), "x", &error));
    EXPECT_NE(error, "");
    EXPECT_EQ(slurp(dir.file("plain")), "a file, not a folder");

    // A folder where the course should be is never replaced.
    fs::create_directories(dir.file("blocked/inside"));
    error.clear();
    EXPECT_FALSE(tovi::writeFileAtomically(dir.file("blocked"), "x", &error));
    EXPECT_NE(error, "");
    EXPECT_TRUE(fs::is_directory(dir.file("blocked/inside")));
    EXPECT_EQ(dir.names().size(), 3u); // 1.track, plain, blocked

    // Ignoring the error is allowed.
    EXPECT_FALSE(tovi::writeFileAtomically(dir.file("blocked"), "x", nullptr));
}

} // namespace

namespace {

TEST(CourseSaving, StaleTemporariesOfTheCourseAreRemovedAndNothingElse) {
    TempDir dir;
    const std::string path = dir.file("1.track");
    spit(path, "Writing this to a file.\nbesttime 45000\n");
    // What a save killed before its rename leaves, twice over.
    spit(dir.file(".1.track.tmp-a1B2c3"), "Writing this to a");
    spit(dir.file(".1.track.tmp-XyZ789"), "");
    // Not ours: another course's save, other names, a folder of that name.
    for (const char* name : {".2.track.tmp-a1B2c3", ".1.track.tmp-a1B2c", ".1.track.tmp-a1B2c3d",
                             "1.track.tmp-a1B2c3", "notes.tmp"})
        spit(dir.file(name), "keep");
    fs::create_directories(dir.file(".1.track.tmp-folder"));

    std::ostringstream log;
    EXPECT_EQ(tovi::removeStaleTemporaries(path, log), 2);
    EXPECT_NE(log.str().find("Removed 2 unfinished saves of " + path), std::string::npos) << log.str();
    EXPECT_FALSE(fs::exists(dir.file(".1.track.tmp-a1B2c3")));
    EXPECT_FALSE(fs::exists(dir.file(".1.track.tmp-XyZ789")));
    EXPECT_EQ(dir.names().size(), 7u); // the course, five others, the folder
    EXPECT_EQ(slurp(path), "Writing this to a file.\nbesttime 45000\n");

    // Nothing to do: no message. A missing folder is no trouble either.
    std::ostringstream quiet;
    EXPECT_EQ(tovi::removeStaleTemporaries(path, quiet), 0);
    EXPECT_EQ(tovi::removeStaleTemporaries(dir.file("no/such/1.track"), quiet), 0);
    EXPECT_EQ(quiet.str(), "");

    // A save after the clean-up works as before and leaves no temporary.
    std::string error;
    ASSERT_TRUE(tovi::writeFileAtomically(path, "besttime 1\n", &error)) << error;
    EXPECT_EQ(dir.names().size(), 7u);
}

} // namespace
