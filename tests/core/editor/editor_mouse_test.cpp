// The editor by mouse: picking, dragging over the grid, selections of
// several objects, copy and paste, and the overlap warning.
#include "tests/core/Harness.h"

#include "core/course/CourseStore.h"
#include "core/editor/GridDrag.h"
#include "core/editor/PieceJoin.h"
#include "core/editor/PlacementForm.h"
#include "core/input/Keys.h"

#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <tuple>

using namespace tovi;
using namespace tovi::testing;

namespace {

const glm::vec2 kWindow(1000, 780);

struct EditorMouse : ::testing::Test {
    Harness h;
    void SetUp() override {
        h.frame(200);
        h.tap(key::E, 200);
        ASSERT_TRUE(h.controls->editing.editMode);
    }
    Editor& ed() { return h.controls->editing.editor; }
    // A camera 50 above the origin looking straight down.
    glm::mat4 view = glm::lookAt(glm::vec3(0, 50, 0), glm::vec3(0), glm::vec3(0, 0, -1));
    glm::mat4 projection = glm::perspective(glm::radians(45.0f), kWindow.x / kWindow.y, 0.1f, 1000.0f);

    // The ray through the pixel where the world point shows.
    Ray rayAt(const glm::vec3& world) {
        const glm::vec3 w = glm::project(world, view, projection, glm::vec4(0, 0, kWindow.x, kWindow.y));
        return cursorRay(view, projection, glm::vec2(w.x, kWindow.y - w.y), kWindow);
    }
    Pick pickAt(const glm::vec3& world) {
        return pickObject(rayAt(world), h.world, h.tracks.size(), h.rings);
    }
    void piece(const char* kind, const glm::mat4& model) { ed().placePiece(kind, model); }
    void selectAt(const glm::vec3& world, bool add = false) { ed().click(pickAt(world), add); }
};

TEST_F(EditorMouse, TheRayPicksTheNearestPieceOrRingAndNothingClears) {
    piece("straight", at(0, 10, 0));
    piece("straight", at(0, 20, 0));
    piece("straight", at(12, 10, 4));
    Pick p = pickAt(glm::vec3(0, 20, 0));
    EXPECT_TRUE(p.hit);
    EXPECT_EQ(p.index, 1) << "the higher piece is nearer the camera above";
    EXPECT_NEAR(p.distance, 30.0f, 0.1f);
    p = pickAt(glm::vec3(13, 10, 5));
    EXPECT_TRUE(p.hit && !p.ring);
    EXPECT_EQ(p.index, 2);

    ed().placeRing(at(0, 30, 0));
    p = pickAt(glm::vec3(0, 30, 0));
    EXPECT_TRUE(p.hit && p.ring) << "the ring over the pieces wins";

    selectAt(glm::vec3(13, 10, 5));
    EXPECT_EQ(ed().selectedNumber(), 3);
    EXPECT_FALSE(ed().ringSelected);
    selectAt(glm::vec3(30, 10, 30));
    EXPECT_EQ(ed().selected(), nullptr) << "a click on nothing clears";
    EXPECT_TRUE(ed().selection().empty());
    EXPECT_FALSE(ed().deleteSelection());
    EXPECT_EQ(ed().message, "nothing to delete: nothing selected");
    EXPECT_EQ(h.tracks.size(), 3u);
}

TEST_F(EditorMouse, SeveralSelectedAreDeletedMovedAndSnappedAsOneStepEach) {
    piece("straight", at(0, 10, 0));
    piece("straight", at(12, 10, 0));
    piece("straight", at(-12, 10, 0));
    ed().placeRing(at(0, 12, 12));
    selectAt(glm::vec3(0, 10, 0));
    selectAt(glm::vec3(12, 10, 0), true);
    selectAt(glm::vec3(0, 12, 12), true);
    ASSERT_EQ(ed().selection().size(), 3u);
    selectAt(glm::vec3(12, 10, 0), true);
    ASSERT_EQ(ed().selection().size(), 2u) << "Left Control+click on a selected one takes it out";
    selectAt(glm::vec3(12, 10, 0), true);

    const std::size_t undoBefore = ed().history().undoCount();
    ed().say("");
    h.input.press(key::T);
    h.input.press(key::Kp4);
    for (int i = 0; i < 30; ++i)
        h.frame(1000.0 / 60.0);
    h.input.releaseAll();
    h.frame();
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 1) << "a held move of three is one step";
    EXPECT_GT(h.tracks[1]->modelMatrix[3][0], 12.3f);
    EXPECT_GT(h.rings[0]->modelMatrix[3][0], 0.3f);
    EXPECT_EQ(h.world.getBodyMatrix(1), h.tracks[1]->modelMatrix);

    EXPECT_TRUE(ed().snapSelection());
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 2);
    EXPECT_TRUE(ed().deleteSelection());
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 3);
    ASSERT_EQ(h.tracks.size(), 1u);
    EXPECT_TRUE(h.rings.empty());
    EXPECT_EQ(h.world.trackBodies.size(), 1u);
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(-12, 10, 0));

    EXPECT_TRUE(ed().undo());
    ASSERT_EQ(h.tracks.size(), 3u);
    ASSERT_EQ(h.rings.size(), 1u);
    EXPECT_EQ(ed().selection().size(), 3u) << "the undone delete selects them again";
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(h.world.getBodyMatrix(static_cast<int>(i)), h.tracks[i]->modelMatrix);
    EXPECT_TRUE(ed().undo());
    EXPECT_TRUE(ed().undo());
    EXPECT_EQ(h.tracks[1]->modelMatrix, at(12, 10, 0)) << "back before the held move";
    EXPECT_EQ(h.rings[0]->modelMatrix, at(0, 12, 12));
}

TEST_F(EditorMouse, ADragMovesInWholeCellsAndHalfUnitsAsOneStep) {
    const glm::mat4 start = at(kGridOriginX, 10, kGridOriginZ);
    piece("straight", start);
    piece("straight", at(kGridOriginX + 8, 10, kGridOriginZ));
    selectAt(glm::vec3(kGridOriginX, 10, kGridOriginZ));
    selectAt(glm::vec3(kGridOriginX + 8, 10, kGridOriginZ), true);
    const std::size_t undoBefore = ed().history().undoCount();
    EXPECT_FALSE(ed().beginDrag(rayAt(glm::vec3(40, 10, 40)))) << "not on a selected object";
    ASSERT_TRUE(ed().beginDrag(rayAt(glm::vec3(kGridOriginX + 1, 10, kGridOriginZ))));
    ed().dragTo(rayAt(glm::vec3(kGridOriginX + 1 + 5.1f, 10, kGridOriginZ + 2.3f)), false);
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(kGridOriginX + 4, 10, kGridOriginZ + 4)) << "nearest whole cells";
    EXPECT_EQ(h.tracks[1]->modelMatrix, at(kGridOriginX + 12, 10, kGridOriginZ + 4));
    EXPECT_EQ(h.world.getBodyMatrix(0), start) << "the body waits for the end";
    // Height in half units from the upright plane through the grab point.
    const Ray side{glm::vec3(kGridOriginX + 5, 11.3f, kGridOriginZ + 40), glm::vec3(0, 0, -1)};
    ed().dragTo(side, true);
    EXPECT_FLOAT_EQ(h.tracks[0]->modelMatrix[3][1], 11.5f);
    const Ray deep{glm::vec3(kGridOriginX + 5, -40.0f, kGridOriginZ + 40), glm::vec3(0, 0, -1)};
    ed().dragTo(deep, true);
    EXPECT_EQ(ed().message, "not moved there: below the ground");
    EXPECT_FLOAT_EQ(h.tracks[0]->modelMatrix[3][1], 11.5f);
    ed().endDrag();
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 1);
    EXPECT_EQ(h.world.getBodyMatrix(0), h.tracks[0]->modelMatrix);
    EXPECT_EQ(h.world.getBodyMatrix(1), h.tracks[1]->modelMatrix);
    EXPECT_TRUE(ed().undo());
    EXPECT_EQ(h.tracks[0]->modelMatrix, start);
    EXPECT_EQ(h.world.getBodyMatrix(0), start);

    std::string why;
    EXPECT_FALSE(dragAllowed(glm::vec3(2100, 60, 20), why));
    EXPECT_EQ(why, "farther than 2000 units from the race start");
}

TEST_F(EditorMouse, TypedValuesApplyAsOneStepAndBadOnesAreRefusedWhole) {
    piece("straight", at(0, 10, 0));
    piece("straight", at(8, 10, 0));
    selectAt(glm::vec3(0, 10, 0));
    selectAt(glm::vec3(8, 10, 0), true);
    const std::size_t undoBefore = ed().history().undoCount();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(ed().setPlacement(glm::vec3(4, 10, 0), nan, glm::vec3(1)));
    EXPECT_FALSE(ed().setPlacement(glm::vec3(4, 10, 0), 0.0f, glm::vec3(1, 0, 1)));
    EXPECT_FALSE(ed().setPlacement(glm::vec3(4, -20, 0), 0.0f, glm::vec3(1)));
    EXPECT_EQ(ed().history().undoCount(), undoBefore);
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(0, 10, 0));

    ASSERT_TRUE(ed().setPlacement(glm::vec3(4, 12, 0), 90.0f, glm::vec3(2, 1, 1)));
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 1);
    EXPECT_NEAR(turnAboutY(h.tracks[1]->modelMatrix), 90.0f, 1e-3f);
    EXPECT_NEAR(h.tracks[1]->modelMatrix[3][0], 12.0f, 1e-4f) << "the others keep their place relative";
    EXPECT_NEAR(glm::length(glm::vec3(h.tracks[0]->modelMatrix[0])), 2.0f, 1e-4f);
    EXPECT_EQ(h.world.getBodyMatrix(1), h.tracks[1]->modelMatrix);
}

TEST_F(EditorMouse, PasteJoinsAfterTheSelectedPieceKeepingTheLayoutOrIsRefusedWhole) {
    piece("straight", firstPlacement());
    glm::mat4 second;
    ASSERT_TRUE(joinedPlacement("straight", firstPlacement(), "left", second));
    piece("left", second);
    ed().placeRing(at(-4, 70, 21));
    EXPECT_FALSE(ed().paste(glm::vec3(0), glm::vec3(0, 0, -1)));
    ed().selectAll({ObjectRef{false, 0}, ObjectRef{false, 1}, ObjectRef{true, 0}});
    ASSERT_TRUE(ed().copySelection());
    ed().click(Pick{true, false, 1, 1.0f}, false);
    const std::size_t undoBefore = ed().history().undoCount();
    ASSERT_TRUE(ed().paste(glm::vec3(0), glm::vec3(0, 0, -1)));
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 1);
    ASSERT_EQ(h.tracks.size(), 4u);
    ASSERT_EQ(h.rings.size(), 2u);
    glm::mat4 joined;
    ASSERT_TRUE(joinedPlacement("left", second, "straight", joined));
    // The first copied piece after the selected exit, the second sitting to
    // it as the copies did.
    const glm::mat4 was = glm::inverse(firstPlacement()) * second;
    const glm::mat4 is = glm::inverse(h.tracks[2]->modelMatrix) * h.tracks[3]->modelMatrix;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(h.tracks[2]->modelMatrix[c][r], joined[c][r], 1e-4f);
            EXPECT_NEAR(is[c][r], was[c][r], 1e-4f);
        }
    EXPECT_EQ(ed().selection().size(), 3u) << "the pasted are the selection";
    EXPECT_EQ(h.world.trackBodies.size(), 4u);
    EXPECT_TRUE(ed().undo());
    EXPECT_EQ(h.tracks.size(), 2u);
    EXPECT_EQ(h.rings.size(), 1u);

    // Near the limit the whole paste is refused.
    while (courseHasRoom(ed().entryCount(), 3))
        ed().placeRing(at(0, 10, 0));
    const std::size_t entries = ed().entryCount();
    const std::size_t undoNow = ed().history().undoCount();
    EXPECT_FALSE(ed().paste(glm::vec3(0), glm::vec3(0, 0, -1)));
    EXPECT_EQ(ed().entryCount(), entries);
    EXPECT_EQ(ed().history().undoCount(), undoNow);
    EXPECT_EQ(ed().message.rfind("not pasted: the course has", 0), 0u) << ed().message;
}

TEST_F(EditorMouse, JoinedPiecesDoNotOverlapAndCrossingOnesDo) {
    piece("straight", at(0, 10, 0));
    piece("straight", at(4, 10, 0)); // sharing an edge
    piece("straight", at(0, 10, 8)); // a cell apart
    EXPECT_EQ(ed().overlapOf(0), -1);
    EXPECT_EQ(ed().overlapOf(1), -1);
    piece("straight", at(1, 10, 9)); // cutting into piece 3
    EXPECT_EQ(ed().overlapOf(3), 2);
    EXPECT_EQ(ed().overlapOf(2), 3);
    ed().markObjects(true);
    EXPECT_GT(h.tracks[3]->drawTint.r, 0.0f);
    EXPECT_EQ(h.tracks[1]->drawTint, glm::vec3(0.0f));
    ed().markObjects(false);
    EXPECT_EQ(h.tracks[3]->drawTint, glm::vec3(0.0f));
}

} // namespace

namespace {

void type(PlacementForm& form, PlacementForm::Field field, const char* text) {
    auto& buffer = form.text(field);
    std::snprintf(buffer.data(), buffer.size(), "%s", text);
    form.edited();
}

TEST(TypedNumber, OneFiniteNumberInRangeAndNothingElse) {
    float v = 0.0f;
    std::string why;
    EXPECT_TRUE(readTypedNumber(" -2.5 ", -10.0f, 10.0f, v, why));
    EXPECT_EQ(v, -2.5f);
    EXPECT_TRUE(readTypedNumber("1e1", -10.0f, 10.0f, v, why));
    for (const char* bad : {"", "  ", "abc", "1.5x", "1,5", "1 2"}) {
        EXPECT_FALSE(readTypedNumber(bad, -10.0f, 10.0f, v, why)) << bad;
        EXPECT_TRUE(why == "is empty" || why == "is not a number") << bad << ": " << why;
    }
    for (const char* bad : {"nan", "inf", "-inf", "1e39"}) {
        EXPECT_FALSE(readTypedNumber(bad, -1e30f, 1e30f, v, why)) << bad;
        EXPECT_EQ(why, "is not a finite number") << bad;
    }
    EXPECT_FALSE(readTypedNumber("400", -360.0f, 360.0f, v, why));
    EXPECT_EQ(why, "goes from -360 to 360");
    EXPECT_EQ(v, 10.0f) << "a refused text leaves the value alone";
}

} // namespace

TEST_F(EditorMouse, PanelFieldsFollowTheSelectionAndApplyOnlyWhatWasTyped) {
    piece("straight", at(0, 10, 0));
    glm::mat4 turned = at(8.123456f, 10, 0) * quarterTurn(1);
    turned[0] *= 1.5f;
    piece("straight", turned);
    PlacementForm form;
    selectAt(glm::vec3(8, 10, 0));
    ASSERT_TRUE(form.follow(ed()));
    EXPECT_EQ(form.kind(), "piece 2 (straight)");
    EXPECT_STREQ(form.text(PlacementForm::X).data(), "8.123");
    EXPECT_STREQ(form.text(PlacementForm::Turn).data(), "90");
    EXPECT_STREQ(form.text(PlacementForm::ScaleX).data(), "1.5");
    selectAt(glm::vec3(0, 10, 0), true);
    ASSERT_TRUE(form.follow(ed()));
    EXPECT_EQ(form.kind(), "piece 2 (straight) and 1 more");

    // A bad field refuses the whole form, naming the field: nothing moves,
    // no step; the typed text stays for mending.
    const std::size_t undoBefore = ed().history().undoCount();
    type(form, PlacementForm::Y, "12");
    for (const auto& [field, text, why] :
         {std::tuple{PlacementForm::Turn, "nan", "not changed: turn is not a finite number"},
          std::tuple{PlacementForm::ScaleZ, "0", "not changed: scale z goes from 0.01 to 100"},
          std::tuple{PlacementForm::Z, "3000", "not changed: farther than 2000 units from the race start"}}) {
        const std::string kept = form.text(field).data();
        type(form, field, text);
        EXPECT_FALSE(form.apply(ed()));
        EXPECT_EQ(form.refusal(), why);
        ASSERT_TRUE(form.follow(ed()));
        EXPECT_STREQ(form.text(field).data(), text);
        type(form, field, kept.c_str());
    }
    EXPECT_EQ(ed().history().undoCount(), undoBefore);
    EXPECT_EQ(h.tracks[1]->modelMatrix, turned);

    // Only y was typed: one step moves both up by 2; x keeps its digits past
    // the shown ones, and each piece keeps its own turn and scale.
    ASSERT_TRUE(form.apply(ed()));
    EXPECT_EQ(ed().history().undoCount(), undoBefore + 1);
    EXPECT_EQ(h.tracks[1]->modelMatrix[3], glm::vec4(8.123456f, 12, 0, 1));
    EXPECT_EQ(glm::mat3(h.tracks[1]->modelMatrix), glm::mat3(turned));
    EXPECT_EQ(h.tracks[0]->modelMatrix, at(0, 12, 0));
    ASSERT_TRUE(form.follow(ed()));
    EXPECT_STREQ(form.text(PlacementForm::Y).data(), "12") << "filled anew from the course";
    EXPECT_TRUE(form.refusal().empty());
    EXPECT_FALSE(form.apply(ed())) << "nothing typed: nothing to change";
    EXPECT_TRUE(ed().undo());
    EXPECT_EQ(h.tracks[1]->modelMatrix, turned);
}

TEST_F(EditorMouse, F7TestsFromTheSelectedPieceAndComesBackToTheSameCamera) {
    Controls& c = *h.controls;
    ed().placeRing(at(0, 30, 0));
    h.tap(key::F7);
    EXPECT_TRUE(c.editing.editMode) << "a ring is no place to start from";
    EXPECT_EQ(ed().message, "test from here: select a piece of the course first");

    const glm::mat4 model = at(4, 20, 8) * quarterTurn(1);
    piece("straight", model);
    selectAt(glm::vec3(4, 20, 8));
    c.camera.position = glm::vec3(5, 40, 5);
    c.camera.horizontalAngle = 1.0f;
    c.camera.verticalAngle = -0.5f;
    h.tap(key::F7);
    ASSERT_FALSE(c.editing.editMode);
    EXPECT_EQ(c.testingFromPiece(), 1);
    EXPECT_EQ(h.race->state, MyCollision::Racing);
    EXPECT_TRUE(h.race->practice) << "no best time, ghost or author time";
    // Just inside the piece's entry, moving down along it.
    const glm::vec3 ball(h.world.getBallModelMatrix()[3]);
    const glm::vec3 entry(model * glm::vec4(2.0f, 1.75f, 0.0f, 1.0f));
    EXPECT_LT(glm::distance(ball, entry), 1.0f);
    const btVector3 v = h.world.ballBody->getLinearVelocity();
    EXPECT_GT(glm::dot(glm::vec3(v.x(), v.y(), v.z()), glm::mat3(model) * glm::vec3(-1, 0, 0)), 0.7f);
    std::vector<std::string> lines;
    c.statusLines(lines);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "practice from piece 1: does not count  (F7 or Escape: back to the editor)"),
              lines.end());
    h.frame();
    EXPECT_TRUE(h.race->practice);

    // F7 (also in a paused run) and Escape each go back to the editor, at
    // its camera.
    for (bool byEscape : {false, true}) {
        if (byEscape) {
            h.tap(key::F7);
            ASSERT_FALSE(c.editing.editMode);
            EXPECT_FALSE(c.escape());
        } else {
            h.race->pause();
            h.tap(key::F7);
        }
        EXPECT_TRUE(c.editing.editMode);
        EXPECT_FALSE(c.quitting());
        EXPECT_EQ(c.testingFromPiece(), 0);
        EXPECT_EQ(c.camera.position, glm::vec3(5, 40, 5));
        EXPECT_EQ(c.camera.horizontalAngle, 1.0f);
        EXPECT_EQ(c.camera.verticalAngle, -0.5f);
    }
}
