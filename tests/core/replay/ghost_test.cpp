// The ghost of the best run: recording and replay, splits, the ghost file and
// its fingerprint.
#include "core/input/Keys.h"
#include "core/replay/GhostFile.h"
#include "core/replay/GhostRun.h"
#include "core/system/FileBytes.h"
#include "tests/core/Harness.h"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace {

using namespace tovi;
namespace fs = std::filesystem;

// A ball rolling along x at 2 units a second while turning about z.
glm::mat4 ballAt(double ms) {
    const float seconds = static_cast<float>(ms / 1000.0);
    glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(2.0f * seconds, 60.0f, 21.2f));
    return glm::rotate(m, -1.5f * seconds, glm::vec3(0.0f, 0.0f, 1.0f));
}

GhostRun recordedRun(double raceTime) {
    GhostRecorder recorder;
    recorder.start(ballAt(0.0));
    // Frames of uneven length, as the game's are.
    const double frames[] = {41.0, 97.5, 12.0, 63.0};
    double t = 0.0;
    for (int i = 0; t < raceTime; ++i) {
        t = std::min(raceTime, t + frames[i % 4]);
        recorder.record(t, ballAt(t));
    }
    GhostRun run;
    run.fingerprint = 0x1234abcd5678ef00ull;
    run.raceTime = raceTime;
    run.splits = {800.0, 1500.5, 1500.5};
    run.samples = recorder.samples();
    return run;
}

void expectPose(const GhostPose& pose, const glm::mat4& expected, float tolerance) {
    const glm::mat4 m = ghostMatrixOf(pose);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(m[c][r], expected[c][r], tolerance) << "column " << c << " row " << r;
}

TEST(GhostRecording, ReplayFollowsTheRecordedBallInRaceTime) {
    const GhostRun run = recordedRun(2000.0);
    // 60 samples a second from race time 0 to 2 s.
    ASSERT_EQ(run.samples.size(), 121u);
    for (double t : {0.0, 5.0, 16.6, 444.4, 1000.0, 1999.0, 2000.0}) {
        GhostPose pose;
        ASSERT_TRUE(ghostPoseAt(run.samples, t, pose)) << t;
        expectPose(pose, ballAt(t), 2e-3f);
    }
    GhostPose pose;
    EXPECT_FALSE(ghostPoseAt(run.samples, 2000.5, pose)) << "the ghost has finished";
    EXPECT_FALSE(ghostPoseAt(run.samples, -1.0, pose));
    EXPECT_FALSE(ghostPoseAt({}, 0.0, pose));

    // Time going back, non-finite times and poses add nothing.
    GhostRecorder recorder;
    recorder.start(ballAt(0.0));
    recorder.record(100.0, ballAt(100.0));
    const std::size_t kept = recorder.samples().size();
    recorder.record(50.0, ballAt(50.0));
    recorder.record(std::nan(""), ballAt(200.0));
    glm::mat4 broken = ballAt(200.0);
    broken[3][1] = std::numeric_limits<float>::infinity();
    recorder.record(200.0, broken);
    EXPECT_EQ(recorder.samples().size(), kept);

    // A very long race keeps its first ten minutes.
    recorder.start(ballAt(0.0));
    recorder.record(11 * 60 * 1000.0, ballAt(0.0));
    EXPECT_EQ(recorder.samples().size(), kGhostMaxSamples);
}

TEST(GhostRecording, SplitsShowForTwoSecondsAheadOrBehindTheBest) {
    SplitTimes splits;
    splits.start();
    EXPECT_FALSE(splits.shown(100.0, {}).visible);
    splits.update(0, 100.0);
    splits.update(1, 1000.0);
    splits.update(3, 2500.0); // two rings in one frame share its time
    EXPECT_EQ(splits.times(), (std::vector<double>{1000.0, 2500.0, 2500.0}));

    const std::vector<double> best = {1200.0, 2400.0};
    SplitView view = splits.shown(2600.0, best);
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.rings, 3u);
    EXPECT_FALSE(view.compared) << "the best run has no third split";
    EXPECT_FALSE(splits.shown(2500.0 + SplitTimes::kShowMs, best).visible);

    splits.start();
    splits.update(1, 1000.0);
    view = splits.shown(1000.0, best);
    EXPECT_TRUE(view.visible && view.compared);
    EXPECT_DOUBLE_EQ(view.difference, -200.0); // ahead
    splits.update(2, 2450.0);
    EXPECT_DOUBLE_EQ(splits.shown(3000.0, best).difference, 50.0); // behind
}

class GhostFileTest : public ::testing::Test {
  protected:
    GhostFileTest() {
        dir = fs::temp_directory_path() / ("zentaro-ghost-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        path = (dir / "1.track.ghost").string();
    }
    ~GhostFileTest() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    // Loads with the run's fingerprint; the log must hold exactly one line
    // when nothing was loaded.
    std::optional<GhostRun> load(std::uint64_t fingerprint = 0x1234abcd5678ef00ull) {
        std::ostringstream log;
        std::optional<GhostRun> run = loadGhost(path, fingerprint, log);
        lastLog = log.str();
        if (!run) {
            EXPECT_EQ(std::count(lastLog.begin(), lastLog.end(), '\n'), 1) << lastLog;
        }
        return run;
    }

    fs::path dir;
    std::string path;
    std::string lastLog;
};

TEST_F(GhostFileTest, SavedRunReadsBackOnlyOnItsOwnCourse) {
    const GhostRun run = recordedRun(1700.0);
    std::string error;
    ASSERT_TRUE(saveGhost(path, run, &error)) << error;
    EXPECT_EQ(ghostPathFor("Kobuldo/Tracks/1.track"), "Kobuldo/Tracks/1.track.ghost");

    const std::optional<GhostRun> back = load();
    ASSERT_TRUE(back.has_value()) << lastLog;
    EXPECT_EQ(back->fingerprint, run.fingerprint);
    EXPECT_EQ(back->raceTime, run.raceTime);
    EXPECT_EQ(back->splits, run.splits);
    ASSERT_EQ(back->samples.size(), run.samples.size());
    for (std::size_t i = 0; i < run.samples.size(); ++i)
        expectPose(back->samples[i], ghostMatrixOf(run.samples[i]), 1e-6f);

    EXPECT_FALSE(load(run.fingerprint + 1).has_value());
    EXPECT_NE(lastLog.find("another version of the course"), std::string::npos) << lastLog;

    // The fingerprint: the course as its file keeps it, pieces and rings,
    // not the best time.
    const std::vector<CoursePiece> pieces = {{"ramp", ballAt(1234.5678)}, {"left", glm::mat4(1.0f)}};
    const std::vector<glm::mat4> rings = {ballAt(77.7777777)};
    const std::uint64_t fingerprint = courseFingerprint(pieces, rings);
    CourseData reread;
    std::ostringstream log;
    parseCourse(formatCourse(pieces, rings, 45000.0), "test.track", reread, log);
    std::vector<CoursePiece> rereadPieces;
    std::vector<glm::mat4> rereadRings;
    for (const CourseEntry& entry : reread.entries) {
        if (entry.kind == "ring")
            rereadRings.push_back(entry.matrix);
        else
            rereadPieces.push_back({entry.kind, entry.matrix});
    }
    EXPECT_EQ(courseFingerprint(rereadPieces, rereadRings), fingerprint);
    std::vector<CoursePiece> moved = pieces;
    moved[1].matrix[3][0] += 0.01f;
    EXPECT_NE(courseFingerprint(moved, rings), fingerprint);
    moved = pieces;
    moved[0].name = "right";
    EXPECT_NE(courseFingerprint(moved, rings), fingerprint);
    EXPECT_NE(courseFingerprint(pieces, {}), fingerprint);
}

TEST_F(GhostFileTest, BadFilesAreIgnoredWithOneMessage) {
    GhostRun run = recordedRun(500.0);
    run.splits = {100.0};
    const std::string good = formatGhost(run);
    const std::size_t samplesAt = 36 + 8;

    EXPECT_FALSE(load().has_value()) << "missing";
    EXPECT_NE(lastLog.find("No ghost"), std::string::npos);

    // Every cut, and one byte too many.
    for (std::size_t size = 0; size < good.size(); size += (size < 64 ? 1 : 97)) {
        write(good.substr(0, size));
        EXPECT_FALSE(load().has_value()) << "cut to " << size;
    }
    write(good + '\0');
    EXPECT_FALSE(load().has_value());

    auto patched = [&good](std::size_t at, const void* value, std::size_t size) {
        std::string bytes = good;
        bytes.replace(at, size, static_cast<const char*>(value), size);
        return bytes;
    };
    const double nan = std::nan("");
    const float infinity = std::numeric_limits<float>::infinity();
    const double later = 600.0;
    const float notUnit = 0.5f;
    const std::uint32_t huge = 0xffffffffu;
    const std::uint32_t version2 = 2;
    const std::uint32_t noSamples = 0;
    const std::vector<std::string> bad = {
        patched(0, "ZENGHOSX", 8),                 // magic
        patched(8, &version2, 4),                  // version
        patched(20, &nan, 8),                      // race time
        patched(28, &huge, 4),                     // split count
        patched(32, &huge, 4),                     // sample count
        patched(32, &noSamples, 4),                // no samples
        patched(36, &nan, 8),                      // split
        patched(36, &later, 8),                    // split after the finish
        patched(samplesAt + 4, &infinity, 4),      // position
        patched(samplesAt + 28 + 12, &notUnit, 4), // turn of the second sample
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        write(bad[i]);
        EXPECT_FALSE(load().has_value()) << "bad file " << i;
    }

    // Too large to be a ghost: refused without being read.
    {
        std::ofstream big(path, std::ios::binary);
        big << good;
        big.seekp(static_cast<std::streamoff>(maxGhostFileSize()));
        big << 'x';
    }
    EXPECT_FALSE(load().has_value());
    EXPECT_NE(lastLog.find("larger than"), std::string::npos) << lastLog;
    std::string bytes;
    EXPECT_EQ(readFileBytes(path, maxGhostFileSize(), bytes), FileRead::TooLarge);
    EXPECT_TRUE(bytes.empty());

    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(load().has_value()) << "a folder";

    // The good file itself loads, and a ghost save never leaves it broken.
    fs::remove(path);
    write(good);
    EXPECT_TRUE(load().has_value()) << lastLog;
    std::string error;
    EXPECT_FALSE(saveGhost((dir / "no such folder" / "1.track.ghost").string(), run, &error));
    EXPECT_FALSE(error.empty());
}

// A race on one piece with two rings: the fake ball is moved along x by hand.
TEST(GhostRace, WinSavesTheRunOnceAndAnEditedCourseHidesIt) {
    using namespace tovi::testing;
    Harness h("straight 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              "ring 1 0 0 0 0 1 0 0 0 0 1 0 3.3 60 21.2 1\n"
              "ring 1 0 0 0 0 1 0 0 0 0 1 0 6.3 60 21.2 1\nbesttime 45000\n");
    const std::string ghostPath = ghostPathFor(h.trackPath);
    EXPECT_EQ(h.race->ghost.bestRun(), nullptr);
    h.tap(key::Enter, 0);
    for (int i = 0; i <= 70 && h.race->state == MyCollision::Racing; ++i) {
        h.ball.modelMatrix = ballAt(100.0 * i);
        h.race->update();
        h.ticks.now += 100.0;
    }
    ASSERT_EQ(h.race->state, MyCollision::Won);
    EXPECT_FALSE(fs::exists(ghostPath)) << "written by the frame after the win";
    h.frame();
    ASSERT_TRUE(fs::exists(ghostPath));
    const auto written = fs::last_write_time(ghostPath);
    fs::last_write_time(ghostPath, written - std::chrono::hours(1));
    h.frame();
    EXPECT_EQ(fs::last_write_time(ghostPath), written - std::chrono::hours(1)) << "saved once per win";

    // The next game on this course reads it back: ghost and splits.
    RaceGhost next;
    std::ostringstream log;
    next.load(ghostPath, h.controls->course.levelFingerprint(), log);
    ASSERT_NE(next.bestRun(), nullptr) << log.str();
    EXPECT_EQ(next.bestRun()->splits, (std::vector<double>{1200.0, 2700.0}));
    glm::mat4 ghost;
    ASSERT_TRUE(next.ghostMatrix(2250.0, ghost));
    expectPose(ghostPoseOf(ghost), ballAt(2250.0), 2e-3f);

    // Another course has its own ghost (none yet); back here, this one again.
    const std::string other = (h.dir.path / "2.track").string();
    writeText(other, "ring 1 0 0 0 0 1 0 0 0 0 1 0 3.3 60 21.2 1\n");
    ASSERT_TRUE(h.controls->switchCourse(other, other));
    EXPECT_EQ(h.race->ghost.bestRun(), nullptr);
    ASSERT_TRUE(h.controls->switchCourse(h.trackPath, h.trackPath));
    ASSERT_NE(h.race->ghost.bestRun(), nullptr);

    // An edit in the editor: from the next race on, no ghost, no comparison.
    ASSERT_TRUE(h.race->ghost.ghostMatrix(500.0, ghost));
    h.tap(key::Enter, 200);
    h.tap(key::E, 200);
    h.tracks[0]->modelMatrix[3][1] -= 0.5f;
    h.tap(key::E, 200);
    EXPECT_EQ(h.race->ghost.bestRun(), nullptr);
    EXPECT_FALSE(h.race->ghost.ghostMatrix(500.0, ghost));
}

} // namespace
