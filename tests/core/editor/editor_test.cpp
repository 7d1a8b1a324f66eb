#include "tests/core/Harness.h"

#include "core/course/CourseFile.h"
#include "core/editor/PieceJoin.h"

#include "core/input/Keys.h"
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

using namespace tovi;
using namespace tovi::testing;

namespace {

struct EditorKeys : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.frame(200);
        h.tap(key::E, 200);
        ASSERT_TRUE(h.controls->editing.editMode);
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

TEST_F(EditorKeys, PlacedObjectsSitAtTheCameraUnselectedAndUnturned) {
    h.controls->camera.position = glm::vec3(3, 40, -7);
    h.tap(key::Num0, 200);
    h.tap(key::Num2, 200);
    ASSERT_EQ(h.rings.size(), 1u);
    ASSERT_EQ(h.tracks.size(), 1u);
    const glm::mat4 expected = at(3, 40, -7);
    EXPECT_EQ(h.rings[0]->modelMatrix, expected);
    EXPECT_EQ(h.tracks[0]->modelMatrix, expected);
    EXPECT_EQ(dynamic_cast<scene::TrackBase*>(h.tracks[0])->pieceName, "straight");
    EXPECT_FALSE(h.controls->editing.editor.ringSelected);
    EXPECT_EQ(h.world.getBodyMatrix(0), expected);
}

TEST_F(EditorKeys, SelectingWithoutPiecesAndTheResetBeforeEditing) {
    h.tap(key::U, 200);
    EXPECT_EQ(h.controls->editing.editor.selectedTrack, 1);
    h.controls->camera.position = glm::vec3(0, 10, 0);
    h.tap(key::Num1, 200);
    EXPECT_EQ(h.controls->editing.editor.selectedTrack, 0) << "reset before the new piece is edited";
    hold({key::T, key::Kp4}, 60);
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][0], 1.0f, 0.02f);
}

TEST_F(EditorKeys, RingSelectionWithoutRingsEditsNothing) {
    h.tap(key::Num2, 200);
    const glm::mat4 before = h.tracks[0]->modelMatrix;
    h.tap(key::I, 200);
    EXPECT_TRUE(h.controls->editing.editor.ringSelected);
    hold({key::T, key::Kp4, key::Kp9}, 30);
    EXPECT_EQ(h.tracks[0]->modelMatrix, before);
    EXPECT_EQ(h.tracks[0]->drawLift, 0.0f);
}

TEST_F(EditorKeys, MovingUsesWorldAxesAndTurningTheObjectsOwn) {
    h.controls->camera.position = glm::vec3(0, 20, 0);
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

TEST_F(EditorKeys, RowsApplyInTableOrder) {
    h.controls->camera.position = glm::vec3(0, 20, 0);
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

TEST_F(EditorKeys, KeypadZeroMovesTenUnitsASecond) {
    h.controls->camera.position = glm::vec3(0, 20, 0);
    h.tap(key::Num2, 200);
    hold({key::T, key::Kp9, key::Kp0}, 60);
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][1], 30.0f, 0.2f);
}

TEST_F(EditorKeys, CollisionBodyFollowsAndTheWobbleIsDrawnOnly) {
    h.controls->camera.position = glm::vec3(0, 20, 0);
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

TEST_F(EditorKeys, FlyingMovesTheFreeCameraAlsoOverAPausedRaceWhichTakesNoPush) {
    h.controls->camera.position = glm::vec3(0, 5, 0);
    hold({key::Space}, 60);
    EXPECT_NEAR(h.controls->camera.position.y, 11.0f, 0.1f);
    EXPECT_EQ(h.controls->camera.eye, h.controls->camera.position);

    // A race paused under the editor stands still; the editor goes on.
    h.tap(key::Enter, 200);
    h.tap(key::E, 200);
    h.tap(key::P, 200);
    ASSERT_TRUE(h.race->paused());
    ASSERT_TRUE(h.controls->editing.editMode);
    const float before = h.controls->camera.position.y;
    hold({key::Space}, 60);
    EXPECT_NEAR(h.controls->camera.position.y, before + 6.0f, 0.1f);
    EXPECT_TRUE(h.race->paused());

    // W flies the camera; the paused ball gathers no push for the resume.
    h.world.ballBody->setLinearVelocity(btVector3(1, 0, 0));
    h.world.ballBody->clearForces();
    hold({key::W, key::A}, 30);
    EXPECT_EQ(h.world.ballBody->getTotalForce().length(), 0.0f);
}

// One press, one action: a key that toggles or places acts once however long
// it is held, a tap shorter than a frame counts once, a held fly key moves
// every frame, and undo repeats only when held past 0.4 s.
TEST_F(EditorKeys, OnePressOneActionWhileHeldKeysActEveryFrame) {
    h.frame(100);
    h.input.press(key::Num0); // held 0.21 s over 30 ms frames
    for (int i = 0; i < 7; ++i)
        h.frame(30);
    h.input.release(key::Num0);
    h.frame(30);
    EXPECT_EQ(h.rings.size(), 1u) << "a person's tap places one ring";

    h.input.press(key::Num0); // down and up again between two 60 ms frames
    h.input.release(key::Num0);
    h.frame(60);
    h.frame(60);
    EXPECT_EQ(h.rings.size(), 2u) << "a tap shorter than a frame counts once";
    h.tap(key::Num0, 30);
    h.tap(key::Num0, 30);
    EXPECT_EQ(h.rings.size(), 4u) << "two taps, two rings";

    h.input.press(key::E); // 0.2 s on E: edit mode ends and stays ended
    for (int i = 0; i < 5; ++i)
        h.frame(40);
    h.input.release(key::E);
    h.frame(40);
    EXPECT_FALSE(h.controls->editing.editMode);
    h.tap(key::E, 120);
    ASSERT_TRUE(h.controls->editing.editMode);

    float lastY = h.controls->camera.position.y;
    h.input.press(key::Space);
    for (int i = 0; i < 5; ++i) {
        h.frame(30);
        EXPECT_GT(h.controls->camera.position.y, lastY) << "frame " << i;
        lastY = h.controls->camera.position.y;
    }
    h.input.release(key::Space);

    h.input.press(key::LeftControl);
    h.input.press(key::Z);
    for (int i = 0; i < 12; ++i) // 0.36 s: one undo
        h.frame(30);
    EXPECT_EQ(h.rings.size(), 3u);
    for (int i = 0; i < 6; ++i) // past 0.4 s and 0.5 s: repeats
        h.frame(30);
    EXPECT_EQ(h.rings.size(), 1u);
    h.input.releaseAll();
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
    EXPECT_EQ(h.controls->editing.editor.message, "course is full: 1000 of 1000 entries");
    const std::string refused = "Not placed: the course is full: 1000 of 1000 entries\n";
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

// Piece i keeps body i, at the piece's matrix.
void expectBodiesParallel(Harness& h) {
    ASSERT_EQ(h.world.trackBodies.size(), h.tracks.size());
    for (std::size_t i = 0; i < h.tracks.size(); ++i) {
        EXPECT_EQ(h.world.getBodyMatrix(static_cast<int>(i)), h.tracks[i]->modelMatrix) << "piece " << i;
        EXPECT_EQ(dynamic_cast<scene::TrackBase*>(h.tracks[i])->bodyIndex, static_cast<int>(i));
    }
}

void tapWithControl(Harness& h, int key) {
    h.input.press(key::LeftControl);
    h.tap(key, 200);
    h.input.release(key::LeftControl);
}

} // namespace

TEST_F(EditorKeys, UndoAndRedoCoverPlacingDeletingAndWholeGestures) {
    h.controls->camera.position = glm::vec3(0, 20, 0);
    h.tap(key::Num2, 200);
    h.tap(key::Num0, 200);
    h.controls->camera.position = glm::vec3(8, 20, 0);
    h.tap(key::Num1, 200);
    ASSERT_EQ(h.tracks.size(), 2u);
    EXPECT_EQ(h.controls->editing.editor.message, "placed ramp");

    // A held move of the first piece is one step however many frames it takes.
    hold({key::T, key::Kp4}, 30);
    hold({key::T, key::Kp8}, 30);
    h.frame();
    EXPECT_EQ(h.controls->editing.editor.message, "moved piece 1");
    const glm::mat4 moved = h.tracks[0]->modelMatrix;
    EXPECT_NEAR(moved[3][0], 0.5f, 0.02f);
    EXPECT_NEAR(moved[3][2], 0.5f, 0.02f);

    // Delete takes the piece and its body; the ramp's body moves down.
    h.tap(key::Delete, 200);
    EXPECT_EQ(h.controls->editing.editor.message, "deleted piece 1 (straight)");
    ASSERT_EQ(h.tracks.size(), 1u);
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(8, 20, 0));
    expectBodiesParallel(h);

    tapWithControl(h, key::Z); // the delete
    ASSERT_EQ(h.tracks.size(), 2u);
    EXPECT_EQ(h.tracks[0]->modelMatrix, moved);
    EXPECT_EQ(dynamic_cast<scene::TrackBase*>(h.tracks[0])->pieceName, "straight");
    expectBodiesParallel(h);
    tapWithControl(h, key::Z); // the second gesture
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][2], 0.0f, 1e-6f);
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][0], 0.5f, 0.02f);
    tapWithControl(h, key::Z); // the first gesture
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(0, 20, 0));
    expectBodiesParallel(h);
    for (int i = 0; i < 3; ++i)
        tapWithControl(h, key::Z);
    EXPECT_TRUE(h.tracks.empty());
    EXPECT_TRUE(h.rings.empty());
    EXPECT_TRUE(h.world.trackBodies.empty());
    tapWithControl(h, key::Z);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to undo");

    // Redo brings everything back in order, the delete last.
    for (int i = 0; i < 6; ++i)
        tapWithControl(h, key::Y);
    EXPECT_EQ(h.controls->editing.editor.message, "redid: deleted piece 1 (straight)");
    ASSERT_EQ(h.tracks.size(), 1u);
    EXPECT_EQ(h.rings.size(), 1u);
    expectBodiesParallel(h);
    tapWithControl(h, key::Y);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to redo");

    // A new step after an undo ends what could be redone; saving keeps the history.
    tapWithControl(h, key::Z);
    h.tap(key::Num3, 200);
    tapWithControl(h, key::Y);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to redo");
    h.input.press(key::LeftControl);
    h.tap(key::S, 200);
    h.input.release(key::LeftControl);
    EXPECT_EQ(h.controls->editing.editor.message, "saved");
    EXPECT_EQ(h.controls->editing.editor.history().undoCount(), 6u);
}

TEST_F(EditorKeys, HistoryKeepsTheLastHundredStepsAndRefusalsAddNone) {
    Editor& editor = h.controls->editing.editor;
    for (std::size_t i = 0; i < kMaxCourseEntries; ++i)
        ASSERT_TRUE(editor.placeRing(at(static_cast<float>(i), 0, 0)));
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(editor.placePiece("straight", at(0, 0, 0)));
    EXPECT_EQ(editor.message, "course is full: 1000 of 1000 entries");
    EXPECT_FALSE(editor.placeJoined("ramp"));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("course is full"), std::string::npos);
    EXPECT_TRUE(h.tracks.empty());

    EXPECT_EQ(editor.history().undoCount(), EditHistory::kLimit);
    for (std::size_t i = 0; i < EditHistory::kLimit; ++i)
        ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.undo());
    EXPECT_EQ(h.rings.size(), kMaxCourseEntries - EditHistory::kLimit);
    EXPECT_EQ(h.rings.back()->modelMatrix, at(kMaxCourseEntries - EditHistory::kLimit - 1, 0, 0));
}

TEST_F(EditorKeys, AltJoinsPiecesAndSelectsThem) {
    h.input.press(key::LeftAlt);
    h.tap(key::Num2, 200); // the first piece goes under the race start
    ASSERT_EQ(h.tracks.size(), 1u);
    EXPECT_EQ(h.tracks[0]->modelMatrix, firstPlacement());
    EXPECT_EQ(h.controls->editing.editor.message, "placed straight under the race start");
    h.tap(key::Num4, 200);
    h.tap(key::Num1, 200);
    h.input.release(key::LeftAlt);
    ASSERT_EQ(h.tracks.size(), 3u);
    EXPECT_EQ(h.controls->editing.editor.selectedTrack, 2);
    EXPECT_FALSE(h.controls->editing.editor.ringSelected);
    EXPECT_EQ(h.controls->editing.editor.message, "placed ramp after piece 2");
    glm::mat4 expected(1.0f);
    ASSERT_TRUE(joinedPlacement("right", h.tracks[1]->modelMatrix, "ramp", expected));
    EXPECT_EQ(h.tracks[2]->modelMatrix, expected);
    expectBodiesParallel(h);

    // A ring selected: nothing to join to.
    h.tap(key::Num0, 200);
    h.tap(key::I, 200);
    h.input.press(key::LeftAlt);
    h.tap(key::Num2, 200);
    h.input.release(key::LeftAlt);
    EXPECT_EQ(h.tracks.size(), 3u);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to join to: select a piece with U");
}

TEST_F(EditorKeys, GSnapsToTheCourseGridAsOneStep) {
    h.controls->camera.position = glm::vec3(kGridOriginX + 4.9f, kGridOriginY - 3.3f, kGridOriginZ - 9.0f);
    h.tap(key::Num2, 200);
    hold({key::R, key::Kp4, key::Kp0}, 60); // 40 degrees about y
    h.frame();
    h.tap(key::G, 200);
    const glm::mat4& m = h.tracks[0]->modelMatrix;
    EXPECT_NEAR(m[3][0], kGridOriginX + 4.0f, 1e-4f);
    EXPECT_NEAR(m[3][1], kGridOriginY - 3.5f, 1e-4f);
    EXPECT_NEAR(m[3][2], kGridOriginZ - 8.0f, 1e-4f);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            EXPECT_NEAR(m[c][r], c == r ? 1.0f : 0.0f, 1e-5f);
    expectBodiesParallel(h);
    h.tap(key::G, 200);
    EXPECT_EQ(h.controls->editing.editor.message, "piece 1 (straight) is on the grid already");
    tapWithControl(h, key::Z);
    EXPECT_NEAR(turnAboutY(h.tracks[0]->modelMatrix), 40.0f, 0.5f);
}

TEST_F(EditorKeys, NewKeysOnAnEmptyCourseChangeNothingAndSayWhy) {
    h.tap(key::Delete, 200);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to delete: no pieces");
    h.tap(key::G, 200);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to snap: no pieces");
    h.tap(key::I, 200);
    h.tap(key::Delete, 200);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to delete: no rings");
    tapWithControl(h, key::Z);
    EXPECT_EQ(h.controls->editing.editor.message, "nothing to undo");
    EXPECT_TRUE(h.tracks.empty());
    EXPECT_TRUE(h.rings.empty());
    EXPECT_EQ(h.controls->editing.editor.history().undoCount(), 0u);
}

TEST(EditorCamera, EnteringKeepsTheViewAndLeavingHandsItBack) {
    Harness h;
    h.frame(200);
    const glm::vec3 eye = h.controls->camera.eye;
    const glm::vec3 look = glm::normalize(h.controls->camera.target - h.controls->camera.eye);
    h.tap(key::E, 200);
    ASSERT_TRUE(h.controls->editing.editMode);
    EXPECT_EQ(h.controls->camera.eye, eye);
    const glm::vec3 freeLook = glm::normalize(h.controls->camera.target - h.controls->camera.eye);
    EXPECT_NEAR(glm::distance(freeLook, look), 0.0f, 1e-3f);

    // Turn the free camera, then leave: the follow camera looks the same way.
    h.input.cursorX = 300;
    h.frame();
    const glm::vec3 turned = glm::normalize(h.controls->camera.target - h.controls->camera.eye);
    h.tap(key::E, 200);
    ASSERT_FALSE(h.controls->editing.editMode);
    const glm::vec3 follow = glm::normalize(h.controls->camera.target - h.controls->camera.eye);
    EXPECT_NEAR(glm::distance(glm::normalize(glm::vec2(follow.x, follow.z)),
                              glm::normalize(glm::vec2(turned.x, turned.z))),
                0.0f, 1e-3f);
}
