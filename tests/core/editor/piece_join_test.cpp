#include "core/course/CourseFile.h"
#include "core/editor/PieceJoin.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <sstream>

using namespace tovi;

namespace {

const char* const kKinds[] = {"ramp", "straight", "left", "right"};

// Where the ball enters a piece placed by m.
glm::vec3 entryOf(const std::string& kind, const glm::mat4& m) {
    const float drop = kind == "ramp" ? 4.5f : 3.5f;
    return glm::vec3(m * glm::vec4(2.0f, drop / 2.0f, 0.0f, 1.0f));
}

} // namespace

TEST(PieceJoin, EveryKindJoinsEveryKindAtEveryQuarterTurn) {
    for (const char* previousKind : kKinds)
        for (int quarter = 0; quarter < 4; ++quarter) {
            glm::mat4 previous = quarterTurn(quarter);
            previous[3] = glm::vec4(kGridOriginX + 8.0f, kGridOriginY - 7.0f, kGridOriginZ - 4.0f, 1.0f);
            glm::vec3 exit(0.0f);
            int heading = 0;
            ASSERT_TRUE(pieceExit(previousKind, previous, exit, heading));
            for (const char* kind : kKinds) {
                glm::mat4 next(1.0f);
                ASSERT_TRUE(joinedPlacement(previousKind, previous, kind, next));
                SCOPED_TRACE(std::string(previousKind) + " then " + kind + ", quarter " +
                             std::to_string(quarter));
                EXPECT_LT(glm::distance(entryOf(kind, next), exit), 1e-3f);
                EXPECT_EQ(nearestQuarter(next), heading);
                // The joined piece sits on the grid: snapping leaves it alone.
                const glm::mat4 snapped = snapToGrid(next);
                for (int c = 0; c < 4; ++c)
                    EXPECT_LT(glm::distance(glm::vec4(snapped[c]), glm::vec4(next[c])), 1e-3f);
            }
            // A curve turns the heading by a quarter, to its side.
            const int turn = std::string(previousKind) == "left"    ? 1
                             : std::string(previousKind) == "right" ? 3
                                                                    : 0;
            EXPECT_EQ(heading, (quarter + turn) % 4);
        }
    glm::mat4 unused(1.0f);
    EXPECT_FALSE(joinedPlacement("ring", glm::mat4(1.0f), "straight", unused));
    EXPECT_FALSE(joinedPlacement("straight", glm::mat4(1.0f), "loop", unused));
}

// The shipped course was chained by the generator in tools/: joining each
// piece to the one before it gives the same placements.
TEST(PieceJoin, ChainsTheShippedCourseLikeTheGenerator) {
    CourseData course;
    std::ostringstream log;
    ASSERT_TRUE(readCourseFile(std::string(ZENTARO_SOURCE_DIR) + "/Kobuldo/Tracks/1.track", course, log));
    std::vector<CourseEntry> pieces;
    for (const CourseEntry& entry : course.entries)
        if (entry.kind != "ring")
            pieces.push_back(entry);
    ASSERT_GT(pieces.size(), 4u);
    for (int c = 0; c < 4; ++c)
        EXPECT_LT(glm::distance(glm::vec4(pieces[0].matrix[c]), glm::vec4(firstPlacement()[c])), 1e-4f);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        glm::mat4 joined(1.0f);
        ASSERT_TRUE(joinedPlacement(pieces[i - 1].kind, pieces[i - 1].matrix, pieces[i].kind, joined));
        for (int c = 0; c < 4; ++c)
            EXPECT_LT(glm::distance(glm::vec4(joined[c]), glm::vec4(pieces[i].matrix[c])), 1e-3f)
                << "piece " << i;
    }
}

TEST(PieceJoin, SnapKeepsScaleAndTakesNearestCellHeightAndQuarter) {
    glm::mat4 m =
        glm::translate(glm::mat4(1.0f), glm::vec3(kGridOriginX - 5.9f, kGridOriginY + 0.26f, 100.0f));
    m = glm::rotate(m, glm::radians(-130.0f), glm::vec3(0, 1, 0)); // nearest quarter: 270 degrees
    m = glm::rotate(m, glm::radians(10.0f), glm::vec3(1, 0, 0));   // a tilt that goes
    m = glm::scale(m, glm::vec3(2.0f, 1.0f, 1.0f));
    const glm::mat4 s = snapToGrid(m);
    EXPECT_NEAR(s[3][0], kGridOriginX - 4.0f, 1e-4f);
    EXPECT_NEAR(s[3][1], kGridOriginY + 0.5f, 1e-4f);
    EXPECT_NEAR(s[3][2], kGridOriginZ + 80.0f, 1e-3f);
    EXPECT_NEAR(turnAboutY(s), 270.0f, 1e-3f);
    EXPECT_NEAR(glm::length(glm::vec3(s[0])), 2.0f, 1e-4f);
    EXPECT_NEAR(s[1][1], 1.0f, 1e-5f) << "upright after the snap";
    EXPECT_EQ(nearestQuarter(quarterTurn(-1)), 3);
}
