// Which rings and pieces a scene frame draws, the culled count the HUD shows,
// and the HUD lines themselves.
#include "core/frame/FrameRules.h"
#include "core/mesh/SceneObject.h"
#include "core/view/ViewFrustum.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using tovi::scene::SceneObject;

class Marker : public SceneObject {
  public:
    explicit Marker(const glm::vec3& at) : SceneObject(glm::translate(glm::mat4(1.0f), at)) {}
    void update(float) override {}
    void draw() override {}
    void drawShadow() override {}
};

struct Level {
    std::vector<std::unique_ptr<Marker>> owned;
    std::vector<SceneObject*> rings;
    std::vector<SceneObject*> pieces;
    SceneObject* add(std::vector<SceneObject*>& list, const glm::vec3& at) {
        owned.push_back(std::make_unique<Marker>(at));
        list.push_back(owned.back().get());
        return list.back();
    }
};

// The game's camera: 45 degrees, 4/3, 0.1 to 100, at the origin looking down -z.
ViewFrustum lookingDownMinusZ() {
    ViewFrustum frustum;
    frustum.setCamInternals(0.39269909f, 4.0f / 3.0f, 0.1f, 100.0f);
    frustum.setCamDef(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    return frustum;
}

std::vector<std::size_t> drawnRings(const Level& level, const std::vector<unsigned>& passed, bool culling,
                                    const ViewFrustum* frustum, int& count) {
    std::vector<std::size_t> drawn;
    count = tovi::drawVisibleRings(level.rings, passed, culling, frustum,
                                   [&](std::size_t i, SceneObject&) { drawn.push_back(i); });
    return drawn;
}

TEST(FrameCulling, WithoutCullingOnlyWhatCannotReachAPixelIsSkipped) {
    Level level;
    // Rings and pieces off to the side are drawn without culling; behind the
    // camera or beyond the far plane they are skipped all the same.
    for (float z : {-5.0f, 30.0f, -8.0f, 40.0f, -2.0f, -103.0f})
        level.add(level.rings, {0.0f, 0.0f, z});
    for (float z : {-20.0f, 50.0f, -1.0f, 0.0f, -115.0f, -105.0f})
        level.add(level.pieces, {0.0f, 0.0f, z});
    level.add(level.pieces, {300.0f, 0.0f, -20.0f});
    // A piece scaled up three times reaches further: its sphere grows with it.
    level.owned.push_back(std::make_unique<Marker>(glm::vec3(0.0f, 0.0f, -125.0f)));
    level.owned.back()->modelMatrix = glm::scale(level.owned.back()->modelMatrix, glm::vec3(3.0f));
    level.pieces.push_back(level.owned.back().get());
    const ViewFrustum frustum = lookingDownMinusZ();
    const std::vector<unsigned> passed = {1, 3};

    int ringsDrawn = 0;
    EXPECT_EQ(drawnRings(level, passed, false, &frustum, ringsDrawn), (std::vector<std::size_t>{0, 2, 4}));
    std::vector<std::size_t> piecesSeen;
    const int piecesDrawn = tovi::drawVisiblePieces(
        level.pieces, false, &frustum, [&](std::size_t i, SceneObject&) { piecesSeen.push_back(i); });
    EXPECT_EQ(piecesSeen, (std::vector<std::size_t>{0, 2, 3, 5, 6, 7}));
    EXPECT_EQ(tovi::culledObjectCount(level.rings.size(), level.pieces.size(), ringsDrawn + piecesDrawn), 5);

    // Without a frustum every unpassed object is drawn.
    EXPECT_EQ(drawnRings(level, passed, false, nullptr, ringsDrawn).size(), 4u);

    // Every ring passed and no pieces: everything counts as culled.
    int none = 0;
    EXPECT_TRUE(drawnRings(level, {5, 4, 3, 2, 1, 0}, false, nullptr, none).empty());
    EXPECT_EQ(tovi::culledObjectCount(level.rings.size(), 0, none), 6);
    // An empty level culls nothing.
    EXPECT_EQ(tovi::culledObjectCount(0, 0, 0), 0);
}

TEST(FrameCulling, WithCullingObjectsOutsideTheViewAreSkippedAndCounted) {
    Level level;
    level.add(level.rings, {0.0f, 0.0f, -10.0f});    // in view
    level.add(level.rings, {0.0f, 0.0f, 10.0f});     // behind the camera
    level.add(level.rings, {0.0f, 0.0f, -20.0f});    // in view but passed
    level.add(level.rings, {0.0f, 0.0f, -150.0f});   // beyond the far plane
    level.add(level.pieces, {0.0f, 0.0f, -30.0f});   // in view
    level.add(level.pieces, {0.0f, 0.0f, 10.5f});    // more than 9.9 behind: out
    level.add(level.pieces, {0.0f, 0.0f, 9.0f});     // its sphere still reaches the view
    level.add(level.pieces, {0.0f, 300.0f, -30.0f}); // far above the view
    const ViewFrustum frustum = lookingDownMinusZ();

    int ringsDrawn = 0;
    EXPECT_EQ(drawnRings(level, {2}, true, &frustum, ringsDrawn), (std::vector<std::size_t>{0}));
    std::vector<std::size_t> piecesSeen;
    const int piecesDrawn = tovi::drawVisiblePieces(
        level.pieces, true, &frustum, [&](std::size_t i, SceneObject&) { piecesSeen.push_back(i); });
    EXPECT_EQ(piecesSeen, (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(tovi::culledObjectCount(level.rings.size(), level.pieces.size(), ringsDrawn + piecesDrawn), 5);

    // Culling switched on before any frustum exists draws everything instead of crashing.
    int all = 0;
    EXPECT_EQ(drawnRings(level, {}, true, nullptr, all).size(), 4u);
}

TEST(FrameCulling, ShadowCastersCountOnlyWhenTheirSphereReachesTheLightsBox) {
    // A light 120 above the origin looking down on a box of +-50 by 0..120.
    const glm::mat4 lightVP =
        glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 0.0f, 120.0f) *
        glm::lookAt(glm::vec3(0.0f, 120.0f, 0.0f), glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f));
    EXPECT_TRUE(tovi::sphereInClipBox(lightVP, {0.0f, 0.0f, 0.0f}, 1.0f));
    EXPECT_TRUE(tovi::sphereInClipBox(lightVP, {58.0f, 10.0f, 0.0f}, 10.0f));  // overlaps the side
    EXPECT_FALSE(tovi::sphereInClipBox(lightVP, {61.0f, 10.0f, 0.0f}, 10.0f)); // wholly beside it
    EXPECT_FALSE(tovi::sphereInClipBox(lightVP, {0.0f, 10.0f, -400.0f}, 10.0f));
    EXPECT_TRUE(tovi::sphereInClipBox(lightVP, {0.0f, -8.0f, 0.0f}, 10.0f));   // just under the box
    EXPECT_FALSE(tovi::sphereInClipBox(lightVP, {0.0f, -12.0f, 0.0f}, 10.0f)); // below it
    EXPECT_FALSE(tovi::sphereInClipBox(lightVP, {0.0f, 131.0f, 0.0f}, 10.0f)); // above the light
}

TEST(FrameHud, LinesFollowTheRaceStateAndTheFrameRateSwitch) {
    tovi::HudState state;
    state.raceState = 1;
    state.raceTime = 75123.0;
    state.bestTime = 5.0;
    state.passedRings = 3;
    state.ringCount = 7;
    state.deltaTime = 0.016;
    state.culledCount = 2;

    tovi::HudLines hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 3);
    EXPECT_EQ(hud.lines[0].y, 575);
    EXPECT_EQ(hud.lines[0].text, "01:15:23");
    EXPECT_EQ(hud.lines[1].y, 555);
    EXPECT_EQ(hud.lines[1].text, "00:00:05");
    EXPECT_EQ(hud.lines[2].y, 535);
    EXPECT_EQ(hud.lines[2].text, "3/7");

    state.showFrameRate = true;
    hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 5);
    EXPECT_EQ(hud.lines[3].y, 505);
    EXPECT_EQ(hud.lines[3].text, "62.500000");
    EXPECT_EQ(hud.lines[4].y, 400);
    EXPECT_EQ(hud.lines[4].text, "geklippt: 2");

    // Outside a race the time line stays, empty, so the others keep their places.
    for (int raceState : {0, 2, 3}) {
        state.raceState = raceState;
        hud = tovi::hudLines(state);
        ASSERT_EQ(hud.count, 5);
        EXPECT_EQ(hud.lines[0].y, 575);
        EXPECT_TRUE(hud.lines[0].text.empty()) << "state " << raceState;
        EXPECT_EQ(hud.lines[1].text, "00:00:05");
    }

    // A message for the player takes the bottom line; the others stay.
    state.notice = "Saving is off: course not loaded whole";
    hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 6);
    EXPECT_EQ(hud.lines[4].y, 400);
    EXPECT_EQ(hud.lines[5].y, tovi::kNoticeLineY);
    EXPECT_EQ(hud.lines[5].text, state.notice);
    // A course nobody has finished has no best time to show.
    state.bestTime = tovi::MyCollision::kNoBestTime;
    EXPECT_EQ(tovi::hudLines(state).lines[1].text, "--:--:--");
}

TEST(FrameHud, SplitGreenAheadRedBehindAndThePausedLine) {
    tovi::HudState state;
    state.raceState = 1;
    state.split.visible = true;
    state.split.time = 12345.0;
    tovi::HudLines hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 4) << "no best run: the split's time alone";
    EXPECT_EQ(hud.lines[3].text, "00:12.34");

    state.split.compared = true;
    state.split.difference = -1500.0;
    hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 5);
    EXPECT_EQ(hud.lines[4].text, "-00:01.50");
    EXPECT_EQ(hud.lines[4].y, hud.lines[3].y);
    EXPECT_GT(hud.lines[4].x, hud.lines[3].x + 8 * tovi::kHudGlyphSize) << "beside the time, not over it";
    EXPECT_EQ(hud.lines[4].colour, tovi::kAheadColour);
    state.split.difference = 20.0;
    EXPECT_EQ(tovi::hudLines(state).lines[4].text, "+00:00.02");
    EXPECT_EQ(tovi::hudLines(state).lines[4].colour, tovi::kBehindColour);

    state.paused = true;
    hud = tovi::hudLines(state);
    ASSERT_EQ(hud.count, 6);
    EXPECT_EQ(hud.lines[5].text, "paused");
    EXPECT_TRUE(hud.lines[5].centred) << "stays on the middle of a wide window";

    // Neither outside a race.
    state.raceState = 2;
    EXPECT_EQ(tovi::hudLines(state).count, 3);
}

} // namespace
