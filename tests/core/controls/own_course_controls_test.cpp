// The designer's loop through the controls: a new course named and saved,
// questions before unsaved edits are lost, the recovery copy, and races
// with an edit in them that count for nothing.
#include "core/course/CourseFile.h"
#include "core/editor/UnsavedEdits.h"
#include "core/input/Keys.h"
#include "core/race/MyCollision.h"
#include "tests/core/Harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tovi::testing {
namespace {

const std::string kTwoRings = "straight 1 0 0 0 0 1 0 0 0 0 1 0 0 -3 0 1\n"
                              "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
                              "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 0 50 1\nbesttime 45000\n";

CourseData readBack(const std::string& path) {
    CourseData data;
    std::ostringstream log;
    readCourseFile(path, data, log);
    return data;
}

std::string asked(Controls& controls) {
    std::vector<std::string> lines;
    controls.modalLines(lines);
    return lines.empty() ? "" : lines.front();
}

TEST(OwnCourseControls, ARaceWithAnEditInItWinsNothingAndDeletedRingsNeverFinishIt) {
    Harness h(kTwoRings);
    h.tap(key::Enter);
    h.ball.modelMatrix = at(0, 0, 0);
    h.race->update(); // the first ring
    // Into the editor over the running race; the ring not passed yet goes.
    h.frame(200);
    h.tap(key::E);
    h.controls->editing.editor.ringSelected = true;
    h.controls->editing.editor.selectedRing = 1;
    ASSERT_TRUE(h.controls->editing.editor.deleteSelection());
    h.frame();
    for (int i = 0; i < 5; ++i) {
        h.ticks.now += 1000;
        h.race->update();
    }
    EXPECT_EQ(h.race->state, MyCollision::Racing); // every ring left is passed, yet no finish
    EXPECT_TRUE(h.race->practice);
    std::vector<std::string> lines;
    h.controls->statusLines(lines);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "practice: the course changed"), lines.end());
    // A ring passed after the edit completes the run, but a practice run is not won.
    ASSERT_TRUE(h.controls->editing.editor.placeRing(at(0, 0, 20)));
    h.ball.modelMatrix = at(0, 0, 20);
    h.race->update();
    h.race->update();
    EXPECT_EQ(h.race->state, MyCollision::Lost);
    h.frame();
    EXPECT_EQ(readBack(h.trackPath).bestTime, 45000.0);
    EXPECT_FALSE(std::filesystem::exists(h.trackPath + ".ghost"));
    EXPECT_EQ(readBack(h.trackPath).entries.size(), 3u); // nothing saved behind the designer's back

    // Saved, the course races for real again; Ctrl+S keeps the course's best time.
    ASSERT_TRUE(h.controls->saveCourse());
    EXPECT_EQ(readBack(h.trackPath).bestTime, 45000.0);
    EXPECT_EQ(readBack(h.trackPath).entries.size(), 3u);
    h.frame(200);
    h.tap(key::Enter);
    EXPECT_FALSE(h.race->practice);
    // A race started with edits unsaved is a practice run from the start.
    h.frame(200);
    h.tap(key::E);
    h.controls->editing.editor.placeRing(at(5, 0, 0));
    h.frame(200);
    h.tap(key::Enter);
    EXPECT_EQ(h.race->state, MyCollision::Racing);
    EXPECT_TRUE(h.race->practice);
}

TEST(OwnCourseControls, UnsavedEditsAreAskedAboutKeptInARecoveryCopyAndOfferedAtStart) {
    Harness h(kTwoRings);
    const std::string recovery = recoveryPathFor(h.trackPath);
    EXPECT_TRUE(h.controls->requestQuit()); // nothing unsaved: quits at once
    Harness edited(kTwoRings);
    Controls& c = *edited.controls;
    edited.tap(key::E);
    c.editing.editor.placeRing(at(9, 0, 0));
    edited.frame();
    EXPECT_TRUE(c.unsavedEdits());
    // Within the delay of the first edit, a recovery copy holds it.
    edited.frame(UnsavedEdits::kRecoveryDelay * 1000.0 + 100.0);
    edited.frame();
    const std::string copy = recoveryPathFor(edited.trackPath);
    ASSERT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(readBack(copy).entries.size(), 4u);
    EXPECT_EQ(readBack(edited.trackPath).entries.size(), 3u);

    // Quitting asks; Escape stays; the question takes every key meanwhile.
    EXPECT_FALSE(c.requestQuit());
    EXPECT_EQ(asked(c), "Save changes to 1?");
    edited.input.press(key::W);
    const glm::vec3 before = c.camera.position;
    edited.frame();
    edited.input.release(key::W);
    EXPECT_EQ(c.camera.position, before);
    c.modals.keyPressed(key::Escape);
    EXPECT_FALSE(c.quitting());
    EXPECT_TRUE(c.modals.empty());

    // The name field, then Y: saved with the name, the copy gone, then quit.
    edited.frame(200);
    edited.tap(key::L);
    c.modals.keyPressed(key::Backspace); // the field starts with the name, "1"
    for (char ch : std::string("Loop"))
        c.modals.typed(static_cast<unsigned char>(ch));
    c.modals.keyPressed(key::Enter);
    EXPECT_EQ(c.courseName(), "Loop");
    edited.frame(UnsavedEdits::kRecoveryDelay * 1000.0 + 100.0);
    edited.frame();
    EXPECT_EQ(readBack(copy).name, "Loop");
    c.requestQuit();
    c.modals.keyPressed(key::Y);
    EXPECT_TRUE(c.quitting());
    EXPECT_EQ(readBack(edited.trackPath).entries.size(), 4u);
    EXPECT_EQ(readBack(edited.trackPath).name, "Loop");
    EXPECT_FALSE(std::filesystem::exists(copy));

    // A copy left by a crash is offered at the next start: Y restores it unsaved.
    writeText(recovery, "ring 1 0 0 0 0 1 0 0 0 0 1 0 1 2 3 1\nbesttime 45000\n");
    h.controls->offerRecovery();
    EXPECT_EQ(asked(*h.controls), "Unsaved edits of 1 were found.");
    h.controls->modals.keyPressed(key::Y);
    EXPECT_EQ(h.rings.size(), 1u);
    EXPECT_TRUE(h.tracks.empty());
    EXPECT_TRUE(h.controls->unsavedEdits());
    EXPECT_EQ(readBack(h.trackPath).entries.size(), 3u);
    // N drops it.
    h.controls->offerRecovery();
    h.controls->modals.keyPressed(key::N);
    EXPECT_FALSE(std::filesystem::exists(recovery));
}

TEST(OwnCourseControls, InsertMakesANewCourseThatSavesUnderItsName) {
    Harness h(kTwoRings);
    h.tap(key::Insert);
    EXPECT_TRUE(h.controls->editing.editMode);
    EXPECT_TRUE(h.tracks.empty());
    EXPECT_TRUE(h.rings.empty());
    // Nothing to race yet: Enter says why and starts nothing.
    h.frame(200);
    h.tap(key::Enter);
    EXPECT_NE(h.race->state, MyCollision::Racing);
    EXPECT_FALSE(h.controls->notice.text.empty());
    h.controls->editing.editor.placeJoined("straight");
    h.controls->editing.editor.placeRing(at(0, 60, 21));
    h.frame(200);
    h.tap(key::L);
    for (char ch : std::string("1"))
        h.controls->modals.typed(static_cast<unsigned char>(ch));
    h.controls->modals.keyPressed(key::Enter);
    ASSERT_TRUE(h.controls->saveCourse());
    // "1" would be the shipped course's file: the new one never takes it.
    const std::string own = h.dir.file("1-2.track");
    const CourseData saved = readBack(own);
    EXPECT_EQ(saved.name, "1");
    EXPECT_EQ(saved.entries.size(), 2u);
    EXPECT_EQ(saved.bestTime, 10000000.0);
    EXPECT_EQ(readBack(h.trackPath).entries.size(), 3u);
}

} // namespace
} // namespace tovi::testing
