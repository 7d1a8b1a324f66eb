#include "tests/core/Harness.h"

#include "core/frame/FrameUpdate.h"
#include "core/frame/Rotationposition.h"
#include "core/input/Keys.h"
#include "core/view/ParticleSystem.h"
#include "core/view/ViewFrustum.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovi;
using namespace tovi::testing;

namespace {

struct FrameUpdateFixture : ::testing::Test {
    Harness h;
    Rotationposition rotation;
    scene::ParticleSystem particles;
    ViewFrustum frustum;
    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};
    FrameParts parts{*h.controls, h.ball, h.world, *h.race, rotation, particles, frustum, projection, view};
    void SetUp() override { frustum.setCamInternals(0.39269909f, 1.3333334f, 0.1f, 100.0f); }
};

TEST_F(FrameUpdateFixture, CameraUsesTheBallBeforeTheStep) {
    h.race->startRace();
    const glm::vec3 before(h.world.getBallModelMatrix()[3]);
    frameUpdate(parts, 0.1);
    EXPECT_EQ(h.controls->camera.target, before);
    const glm::vec3 after(h.ball.modelMatrix[3]);
    EXPECT_LT(after.y, before.y) << "the ball fell during the step";
    EXPECT_EQ(projection, h.controls->camera.projection);
    EXPECT_EQ(view, h.controls->camera.view);
    EXPECT_EQ(frustum.cameraPosition, h.controls->camera.eye);
}

TEST_F(FrameUpdateFixture, LongFirstFrameTakesOnlyTenSubSteps) {
    h.race->startRace();
    const float y0 = h.world.getBallModelMatrix()[3][1];
    frameUpdate(parts, 2.0);
    const float drop = y0 - h.ball.modelMatrix[3][1];
    // Ten sub-steps of free fall from rest in y: well under 0.2 units; two
    // seconds would be 20.
    EXPECT_GT(drop, 0.05f);
    EXPECT_LT(drop, 0.2f);
}

TEST_F(FrameUpdateFixture, LightAngleAfterOneMinute) {
    for (int i = 0; i < 3600; ++i)
        rotation.advance(1.0 / 60.0);
    EXPECT_NEAR(rotation.angle, 1200.0f, 0.05f);
    EXPECT_NEAR(rotation.offsetX, 4.0f * std::cos(glm::radians(1200.0f)), 1e-3);
    EXPECT_NEAR(rotation.offsetZ, 4.0f * std::sin(glm::radians(1200.0f)), 1e-3);
}

TEST_F(FrameUpdateFixture, EveryPieceIsLitFromWhereTheLightMovedThisFrame) {
    h.controls->course.tracks->push_back(h.factory.makePiece("Kobuldo/Objects/V2/straight", glm::mat4(1.0f)));
    h.controls->course.tracks->push_back(h.factory.makePiece("Kobuldo/Objects/V2/ramp", glm::mat4(1.0f)));
    frameUpdate(parts, 0.5);
    ASSERT_NE(rotation.offsetX, 0.0f);
    for (scene::SceneObject* piece : *h.controls->course.tracks) {
        auto* track = dynamic_cast<scene::TrackBase*>(piece);
        ASSERT_NE(track, nullptr);
        EXPECT_EQ(track->lightOffsetX, rotation.offsetX);
        EXPECT_EQ(track->lightOffsetZ, rotation.offsetZ);
    }
}

TEST_F(FrameUpdateFixture, BallHeadAndParticlesFollowTheBodyInEveryState) {
    h.race->state = MyCollision::StartScreen;
    for (int i = 0; i < 30; ++i)
        frameUpdate(parts, 1.0 / 30.0);
    EXPECT_EQ(h.ball.positionsAtUpdate.size(), 30u);
    EXPECT_GT(particles.particleCount, 0);
    EXPECT_EQ(h.ball.modelMatrix, h.world.getBallModelMatrix());
}

TEST_F(FrameUpdateFixture, PauseStandsTheRaceStillAndKeepsItsTime) {
    auto frame = [this](double ms, int key = 0) {
        if (key != 0)
            h.input.press(key);
        frameUpdate(parts, ms / 1000.0);
        h.input.wentDown.clear();
        h.ticks.now += ms;
        h.input.seconds += ms / 1000.0;
        h.input.release(key);
    };
    frame(50, key::Enter);
    for (int i = 0; i < 10; ++i)
        frame(50);
    frame(50, key::P);
    ASSERT_TRUE(h.race->paused());
    const double raceTime = h.race->elapsed();
    const glm::mat4 ball = h.ball.modelMatrix;
    const float lightAngle = rotation.angle;
    const int particleCount = particles.particleCount;
    const glm::vec3 particle = particles.pool[0].position;
    const glm::mat4 cameraView = view;
    const float cameraAngle = h.controls->camera.horizontalAngle;
    for (int i = 0; i < 20; ++i) {
        h.input.cursorX += 7.0; // the mouse moves on
        frame(250, i % 2 == 0 ? key::W : key::F3);
    }
    EXPECT_EQ(h.race->elapsed(), raceTime);
    EXPECT_EQ(h.world.getBallModelMatrix(), ball);
    EXPECT_EQ(rotation.angle, lightAngle);
    EXPECT_EQ(particles.particleCount, particleCount);
    EXPECT_EQ(particles.pool[0].position, particle);
    EXPECT_EQ(view, cameraView);
    EXPECT_FALSE(h.controls->display.wireframe) << "keys other than P, Enter and N wait";

    // P again goes on as if no time had passed.
    frame(40, key::P);
    EXPECT_FALSE(h.race->paused());
    EXPECT_EQ(h.race->elapsed(), raceTime + 40);
    EXPECT_EQ(h.controls->camera.horizontalAngle, cameraAngle)
        << "the mouse moved during the pause is not used";
    frame(40);
    EXPECT_NE(h.world.getBallModelMatrix(), ball);

    // Losing the focus pauses a running race; a new race is not paused.
    h.input.hasFocus = false;
    frame(40);
    EXPECT_TRUE(h.race->paused());
    h.input.hasFocus = true;
    frame(300, key::Enter);
    EXPECT_FALSE(h.race->paused());
    EXPECT_EQ(h.race->elapsed(), 300);
    // Outside a race there is nothing to pause.
    h.race->forceWin();
    frame(300, key::P);
    EXPECT_FALSE(h.race->paused());
}

} // namespace
