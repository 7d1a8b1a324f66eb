#include "core/controls/Controls.h"
#include "core/course/CourseFile.h"
#include "core/editor/CourseCheck.h"
#include "core/editor/CourseCheckRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

using namespace tovi;

namespace {

BotCourse shippedCourse() {
    CourseData data;
    std::ostringstream log;
    EXPECT_TRUE(readCourseFile(std::string(ZENTARO_SOURCE_DIR) + "/Kobuldo/Tracks/1.track", data, log));
    return botCourse(data);
}

const std::string kObjects = std::string(ZENTARO_SOURCE_DIR) + "/Kobuldo/Objects/V2/";

} // namespace

TEST(CourseCheck, ShippedCourseFinishesAndAGapIsFoundWhereTheBallFell) {
    const BotCourse course = shippedCourse();
    const PieceMeshes meshes = loadPieceMeshes(course, kObjects);
    const CheckVerdict verdict = checkCourse(course, meshes);
    EXPECT_TRUE(verdict.finished) << verdict.reason;
    EXPECT_EQ(verdict.passed, course.rings.size());
    EXPECT_GT(verdict.seconds, 10.0);
    const std::string line = verdictLine(verdict);
    EXPECT_EQ(line.rfind("Course check: finished in ", 0), 0u) << line;
    EXPECT_NE(line.find(" s, 8/8 rings"), std::string::npos) << line;

    // Without its fifth piece the course has a gap after the fourth.
    BotCourse gap = course;
    const glm::vec3 edge(gap.pieces[4].matrix[3]);
    gap.pieces.erase(gap.pieces.begin() + 4);
    const CheckVerdict fell = checkCourse(gap, meshes);
    EXPECT_FALSE(fell.finished);
    EXPECT_TRUE(fell.fell);
    EXPECT_LT(fell.passed, course.rings.size());
    EXPECT_LT(glm::distance(fell.fallPoint, edge), 4.0f) << fell.reason;
    EXPECT_EQ(verdictLine(fell).rfind("Course check: not finished: fell off near (", 0), 0u)
        << verdictLine(fell);

    BotCourse empty;
    empty.rings = course.rings;
    EXPECT_EQ(verdictLine(checkCourse(empty, meshes)), "Course check: not finished: no track, 0/8 rings");
}

TEST(CourseCheck, RunnerWorksInTheBackgroundOnceAtATimeAndStopsWhenDropped) {
    {
        CourseCheckRunner runner;
        ASSERT_TRUE(runner.start(shippedCourse(), kObjects));
        EXPECT_FALSE(runner.start(shippedCourse(), kObjects)) << "one check at a time";
        CheckVerdict verdict;
        for (int i = 0; i < 6000 && !runner.takeVerdict(verdict); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(verdict.finished) << verdict.reason;
        EXPECT_FALSE(runner.running());
        EXPECT_FALSE(runner.takeVerdict(verdict)) << "handed out once";
        ASSERT_TRUE(runner.start(BotCourse{}, kObjects)) << "a new check after the last";
        for (int i = 0; i < 6000 && !runner.takeVerdict(verdict); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(verdict.reason, "no track");
    }
    CourseCheckRunner dropped;
    ASSERT_TRUE(dropped.start(shippedCourse(), kObjects));
    // Going out of scope mid-check stops the worker (a hang here fails the test).
}
