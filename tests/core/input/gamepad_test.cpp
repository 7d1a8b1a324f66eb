// The gamepad through the controls, with a scripted pad in place of GLFW's.
#include "tests/core/Harness.h"

#include "core/input/Keys.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tovi;
using namespace tovi::testing;

namespace {

// The push the controls put on the ball in one frame, in the world's x-z plane.
glm::vec3 pushOf(Harness& h) {
    h.world.ballBody->clearForces();
    h.frame();
    const btVector3 f = h.world.ballBody->getTotalForce();
    return {f.x(), f.y(), f.z()};
}

void stick(Harness& h, float x, float y) {
    h.input.pad.axes[GamepadState::LeftX] = x;
    h.input.pad.axes[GamepadState::LeftY] = y;
}

} // namespace

// The race ball moves along -x; its left is +z. W pushes 0.05 along it.
TEST(Gamepad, LeftStickPushesLikeTheKeysAsFarAsItLeans) {
    Harness h;
    h.tap(key::Enter);
    h.input.padConnected = true;

    stick(h, 0.12f, -0.15f); // resting slightly off centre
    EXPECT_EQ(pushOf(h), glm::vec3(0.0f)) << "inside the dead zone";

    stick(h, 0.0f, -1.0f);
    const glm::vec3 full = pushOf(h);
    stick(h, 0.0f, 0.0f);
    h.input.press(key::W);
    EXPECT_LT(glm::length(full - pushOf(h)), 1e-6f) << "stick forward pushes like W";
    h.input.release(key::W);

    stick(h, -0.6f, 0.0f); // 0.4 past the dead zone of 0.2: half way
    const glm::vec3 left = pushOf(h);
    EXPECT_NEAR(glm::length(left), 0.025f, 1e-5f);
    EXPECT_GT(glm::dot(glm::normalize(left), glm::vec3(0, 0, 1)), 0.999f);

    stick(h, 0.707f, 0.707f); // back and to the right
    const glm::vec3 diagonal = glm::normalize(pushOf(h));
    EXPECT_GT(glm::dot(diagonal, glm::normalize(glm::vec3(1, 0, -1))), 0.999f);

    h.input.hasFocus = false;
    EXPECT_EQ(pushOf(h), glm::vec3(0.0f)) << "the pad plays only in the focused window";
    h.input.hasFocus = true;

    stick(h, NAN, 1.0f);
    EXPECT_EQ(pushOf(h), glm::vec3(0.0f)) << "a broken reading pushes nothing";
}

TEST(Gamepad, ButtonsActOnceAndTheRightStickSwingsTheCamera) {
    Harness h;
    h.input.padConnected = true;
    auto& buttons = h.input.pad.buttons;

    // A on the start screen starts a race; held, it does not start another.
    buttons[GamepadState::A] = true;
    h.frame();
    ASSERT_EQ(h.race->state, MyCollision::Racing);
    const double started = h.race->clock.startedAt();
    h.frame(200);
    h.frame(200);
    EXPECT_EQ(h.race->clock.startedAt(), started);
    buttons[GamepadState::A] = false;

    // In the race neither A nor Start restarts it; Back does, once a press.
    buttons[GamepadState::A] = buttons[GamepadState::Start] = true;
    h.frame(200);
    EXPECT_EQ(h.race->clock.startedAt(), started);
    buttons[GamepadState::A] = buttons[GamepadState::Start] = false;
    buttons[GamepadState::Back] = true;
    h.frame(200);
    const double restarted = h.race->clock.startedAt();
    EXPECT_GT(restarted, started);
    h.frame(200);
    EXPECT_EQ(h.race->clock.startedAt(), restarted);
    buttons[GamepadState::Back] = false;

    // Start on the win screen is Enter.
    h.race->forceWin();
    buttons[GamepadState::Start] = true;
    h.frame(200);
    EXPECT_EQ(h.race->state, MyCollision::Racing);
    buttons[GamepadState::Start] = false;

    // Pulled out with A held and plugged in again still holding it: that is
    // a press, as the pad cannot tell.
    h.race->forceWin();
    h.input.padConnected = false;
    h.frame(200);
    EXPECT_EQ(h.race->state, MyCollision::Won);
    buttons[GamepadState::A] = true;
    h.input.padConnected = true;
    h.frame(200);
    EXPECT_EQ(h.race->state, MyCollision::Racing);

    // The right stick: full right for 0.2 s swings 0.5 radians, like the
    // mouse moved to the right; inside the dead zone nothing.
    h.input.pad.axes[GamepadState::RightX] = 1.0f;
    const float before = h.controls->camera.horizontalAngle;
    h.frame(200);
    EXPECT_NEAR(h.controls->camera.horizontalAngle, before - 0.5f, 1e-4f);
    h.input.pad.axes[GamepadState::RightX] = 0.1f;
    h.frame(200);
    EXPECT_NEAR(h.controls->camera.horizontalAngle, before - 0.5f, 1e-4f);
}
