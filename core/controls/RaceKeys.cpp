#include "core/controls/RaceKeys.h"

#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/race/MyCollision.h"
#include "core/race/Steering.h"

namespace tovi {

namespace {
// The key's press: down now and not on the frame before.
bool pressedNow(InputSource& input, int key, bool& wasDown) {
    const bool down = input.keyPressed(key);
    const bool pressed = down && !wasDown;
    wasDown = down;
    return pressed;
}
} // namespace

PadCommands RaceKeys::readPad(bool focused) {
    // The right stick swings the camera like the mouse, the left one pushes
    // like W/A/S/D, its buttons act on the race. Like the keys, it plays
    // only while the window has the focus.
    GamepadState padState;
    const bool havePad = focused && window->gamepad(padState);
    return pad.update(havePad ? &padState : nullptr, race->state == MyCollision::Racing);
}

void RaceKeys::pauseKey(const PadCommands& padCommands) {
    if (pressedNow(*window, key::P, pauseKeyDown) || padCommands.pause)
        race->togglePause();
}

void RaceKeys::raceToggles(const std::function<bool(int)>& debounced) {
    if (debounced(key::B))
        race->forceWin();
    // Left Control+V is the editor's paste.
    if (!window->keyPressed(key::LeftControl) && pressedNow(*window, key::V, ghostKeyDown))
        race->ghost.toggleShown();
}

void RaceKeys::push(const PadCommands& padCommands) {
    if (window->keyPressed(key::W))
        pushBall(*physicsWorld, steerAngle(Steer::W));
    if (window->keyPressed(key::S))
        pushBall(*physicsWorld, steerAngle(Steer::S));
    if (window->keyPressed(key::A))
        pushBall(*physicsWorld, steerAngle(Steer::A));
    if (window->keyPressed(key::D))
        pushBall(*physicsWorld, steerAngle(Steer::D));
    if (padCommands.push > 0.0f)
        pushBall(*physicsWorld, padCommands.pushAngle, padCommands.push);
}

} // namespace tovi
