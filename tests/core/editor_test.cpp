#include "Harness.h"

#include "core/CourseFile.h"

#include "core/Keys.h"
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

using namespace tovi;
using namespace tovi::testing;

namespace {

struct Editor : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.frame(200);
        h.tap(key::E, 200);
        ASSERT_TRUE(h.controls->editMode);
    }
    // Holds the keys for n frames of 1/60 s each.
    // The controls' frame time is the time since their last update, so one
    // idle frame first makes every held frame exactly 1/60 s long.
    void hold(std::initializer_list<int> keys, int frames) {
        h.frame(1000.0 / 60.0);
        for (int k : keys)
            h.input.press(k);
        for (int i = 0; i < frames; ++i)
            h.frame(1000.0 / 60.0);
        for (int k : keys)
            h.input.release(k);
    }
};

TEST_F(Editor, PlacedObjectsSitAtTheCameraUnselectedAndUnturned) {
    h.controls->position = glm::vec3(3, 40, -7);
    h.tap(key::Num0, 200);
    h.tap(key::Num2, 200);
    ASSERT_EQ(h.rings.size(), 1u);
    ASSERT_EQ(h.tracks.size(), 1u);
    const glm::mat4 expected = at(3, 40, -7);
    EXPECT_EQ(h.rings[0]->modelMatrix, expected);
    EXPECT_EQ(h.tracks[0]->modelMatrix, expected);
    EXPECT_EQ(dynamic_cast<scene::TrackBase*>(h.tracks[0])->pieceName, "straight");
    EXPECT_FALSE(h.controls->ringSelected);
    EXPECT_EQ(h.world.getBodyMatrix(0), expected);
}

TEST_F(Editor, SelectingWithoutPiecesAndTheResetBeforeEditing) {
    h.tap(key::U, 200);
    EXPECT_EQ(h.controls->selectedTrack, 1);
    h.controls->position = glm::vec3(0, 10, 0);
    h.tap(key::Num1, 200);
    EXPECT_EQ(h.controls->selectedTrack, 0) << "reset before the new piece is edited";
    hold({key::T, key::Kp4}, 60);
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][0], 1.0f, 0.02f);
}

TEST_F(Editor, RingSelectionWithoutRingsEditsNothing) {
    h.tap(key::Num2, 200);
    const glm::mat4 before = h.tracks[0]->modelMatrix;
    h.tap(key::I, 200);
    EXPECT_TRUE(h.controls->ringSelected);
    hold({key::T, key::Kp4, key::Kp9}, 30);
    EXPECT_EQ(h.tracks[0]->modelMatrix, before);
    EXPECT_EQ(h.tracks[0]->drawLift, 0.0f);
}

TEST_F(Editor, MovingUsesWorldAxesAndTurningTheObjectsOwn) {
    h.controls->position = glm::vec3(0, 20, 0);
    h.tap(key::Num3, 200);
    scene::SceneObject* piece = h.tracks[0];
    // Turn it a quarter about its own y first.
    piece->modelMatrix = glm::rotate(piece->modelMatrix, glm::radians(90.0f), glm::vec3(0, 1, 0));
    h.world.setBodyTransform(0, piece->modelMatrix);

    hold({key::T, key::Kp8}, 60); // +z in the world, 1 unit
    EXPECT_NEAR(piece->modelMatrix[3][2], 1.0f, 0.02f);
    EXPECT_NEAR(piece->modelMatrix[3][0], 0.0f, 1e-5f);

    const glm::mat4 before = piece->modelMatrix;
    hold({key::R, key::Kp8}, 60); // 4 degrees about its own x axis
    glm::mat4 expected = before;
    for (int i = 0; i < 60; ++i)
        expected = glm::rotate(expected, glm::radians(4.0f / 60.0f), glm::vec3(1, 0, 0));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(piece->modelMatrix[c][r], expected[c][r], 1e-3) << c << "," << r;
    // Its own x axis is the world's -z after the quarter turn: the turn
    // tilts the piece about world z, so its local y leans towards -x/+x.
    EXPECT_NEAR(piece->modelMatrix[1][2], 0.0f, 1e-3);
}

TEST_F(Editor, RowsApplyInTableOrder) {
    h.controls->position = glm::vec3(0, 20, 0);
    h.tap(key::Num2, 200);
    scene::SceneObject* piece = h.tracks[0];
    const glm::mat4 before = piece->modelMatrix;
    h.frame(1000.0 / 60.0);
    h.input.press(key::R);
    h.input.press(key::Kp4);
    h.input.press(key::Kp8);
    h.frame(1000.0 / 60.0); // this frame's dt is what the keys use
    const float s = 1.0f / 60.0f;
    glm::mat4 expected = glm::rotate(before, glm::radians(4 * s), glm::vec3(0, 1, 0));
    expected = glm::rotate(expected, glm::radians(4 * s), glm::vec3(1, 0, 0));
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_NEAR(piece->modelMatrix[c][r], expected[c][r], 1e-4);
}

TEST_F(Editor, KeypadZeroMovesTenUnitsASecond) {
    h.controls->position = glm::vec3(0, 20, 0);
    h.tap(key::Num2, 200);
    hold({key::T, key::Kp9, key::Kp0}, 60);
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][1], 30.0f, 0.2f);
}

TEST_F(Editor, CollisionBodyFollowsAndTheWobbleIsDrawnOnly) {
    h.controls->position = glm::vec3(0, 20, 0);
    h.tap(key::Num1, 200);
    hold({key::T, key::Kp6}, 30);
    scene::SceneObject* piece = h.tracks[0];
    EXPECT_NEAR(piece->modelMatrix[3][0], -0.5f, 0.02f);
    EXPECT_EQ(h.world.getBodyMatrix(0), piece->modelMatrix);

    // Several idle frames: the piece wobbles on screen only.
    const glm::mat4 resting = piece->modelMatrix;
    bool sawLift = false;
    for (int i = 0; i < 6; ++i) {
        h.frame();
        sawLift = sawLift || piece->drawLift != 0.0f;
        EXPECT_EQ(piece->modelMatrix, resting);
        EXPECT_EQ(h.world.getBodyMatrix(0), resting);
    }
    EXPECT_TRUE(sawLift);

    // Saving on two consecutive frames writes the same file.
    h.input.press(key::LeftControl);
    h.input.press(key::S);
    h.controls->update();
    const std::string first = readText(h.trackPath);
    h.controls->update();
    const std::string second = readText(h.trackPath);
    EXPECT_EQ(first, second);
    CourseData saved;
    std::ostringstream log;
    parseCourse(first, "saved", saved, log);
    ASSERT_EQ(saved.entries.size(), 1u);
    EXPECT_NEAR(saved.entries[0].matrix[3][1], 20.0f, 1e-4);

    // Leaving the editor leaves nothing lowered.
    h.input.releaseAll();
    h.frame(200);
    h.tap(key::E, 200);
    EXPECT_EQ(piece->drawLift, 0.0f);
}

TEST_F(Editor, HRestartsTheDebounceGap) {
    h.frame(200);
    h.tap(key::H, 60);    // fires, gap restarts
    h.tap(key::Num0, 60); // 60 ms after H: refused
    EXPECT_TRUE(h.rings.empty());
    h.frame(50);
    h.tap(key::Num0); // 110 ms after H
    EXPECT_EQ(h.rings.size(), 1u);
}

TEST_F(Editor, FlyingMovesTheFreeCamera) {
    h.controls->position = glm::vec3(0, 5, 0);
    hold({key::Space}, 60);
    EXPECT_NEAR(h.controls->position.y, 11.0f, 0.1f);
    EXPECT_EQ(h.controls->eye, h.controls->position);
}

} // namespace

namespace {

// A course holds at most kMaxCourseEntries pieces and rings: placing beyond
// that is refused with a message, so what is saved always loads back whole.
TEST(EditorLimit, PlacingAtTheLimitIsRefusedAndTheSavedCourseLoadsBackWhole) {
    std::string course;
    for (std::size_t i = 0; i + 1 < kMaxCourseEntries; ++i)
        course += "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n";
    course += "besttime 45000\n";
    ::testing::internal::CaptureStdout();
    Harness h(course);
    h.frame(200);
    h.tap(key::E, 200);
    h.tap(key::Num2, 200); // the last one that fits
    ASSERT_EQ(h.tracks.size() + h.rings.size(), kMaxCourseEntries);
    ::testing::internal::GetCapturedStdout();

    ::testing::internal::CaptureStdout();
    h.tap(key::Num0, 200);
    h.tap(key::Num1, 200);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(h.rings.size(), kMaxCourseEntries - 1);
    EXPECT_EQ(h.tracks.size(), 1u);
    EXPECT_EQ(h.controls->notice, "Course full: 1000 pieces and rings");
    const std::string refused =
        "Not placed: the course holds 1000 pieces and rings; a course may have at most 1000\n";
    EXPECT_NE(out.find(refused), std::string::npos) << out;
    EXPECT_EQ(out.find("Not placed", out.find(refused) + 1), std::string::npos) << "said again while shown";
    // Several at once need room for all of them.
    EXPECT_TRUE(courseHasRoom(kMaxCourseEntries - 2, 2));
    EXPECT_FALSE(courseHasRoom(kMaxCourseEntries - 1, 2));

    h.input.press(key::LeftControl);
    h.input.press(key::S);
    h.frame();
    CourseData saved;
    std::ostringstream log;
    parseCourse(readText(h.trackPath), "saved", saved, log);
    EXPECT_EQ(saved.entries.size(), kMaxCourseEntries);
    EXPECT_FALSE(saved.truncated);
    EXPECT_EQ(log.str(), "");
}

} // namespace
