#include "core/controls/RaceKeys.h"

#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/player/KeyBindings.h"
#include "core/race/MyCollision.h"
#include "core/race/Steering.h"

namespace tovi {

namespace {
// The key's press: down now and not on the frame before.
bool pressedNow(InputSource& input, int key, bool& wasDown) {
    const bool down = key >= 0 && input.keyPressed(key);
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
    if (pressedNow(*window, bound->key(Action::Pause), pauseKeyDown) || padCommands.pause)
        race->togglePause();
}

void RaceKeys::raceToggles(const std::function<bool(int)>& pressed) {
    if (pressed(key::B))
        race->forceWin();
    // Left Control+V is the editor's paste.
    if (!window->keyPressed(key::LeftControl) && pressedNow(*window, bound->key(Action::Ghost), ghostKeyDown))
        race->ghost.toggleShown();
}

void RaceKeys::push(const PadCommands& padCommands) {
    // No physics step clears a push while the race stands paused (the
    // editor flies over it with the same keys): it would all land at once.
    if (race->paused())
        return;
    auto held = [this](Action action) {
        const int key = bound->key(action);
        return key >= 0 && window->keyPressed(key);
    };
    if (held(Action::Forward))
        pushBall(*physicsWorld, steerAngle(Steer::W));
    if (held(Action::Back))
        pushBall(*physicsWorld, steerAngle(Steer::S));
    if (held(Action::Left))
        pushBall(*physicsWorld, steerAngle(Steer::A));
    if (held(Action::Right))
        pushBall(*physicsWorld, steerAngle(Steer::D));
    if (padCommands.push > 0.0f)
        pushBall(*physicsWorld, padCommands.pushAngle, padCommands.push);
}

} // namespace tovi
