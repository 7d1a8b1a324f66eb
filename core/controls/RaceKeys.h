#pragma once
#include "core/input/Gamepad.h"

#include <functional>

namespace tovi {
class InputSource;
class MyCollision;
class PhysicsWorld;

// The keys and pad that act on the race itself: the pause, the forced win,
// the ghost, and the push on the ball.
class RaceKeys {
  public:
    RaceKeys(InputSource* input, MyCollision* race, PhysicsWorld* physicsWorld)
        : window(input), race(race), physicsWorld(physicsWorld) {}

    // The pad's commands this frame; none without the focus (or a pad).
    PadCommands readPad(bool focused);
    // P (or Start on a pad) pauses and resumes, once per press however long
    // it is held, so a slow frame cannot pause and resume in one press.
    void pauseKey(const PadCommands& pad);
    // B wins the race at once; V shows or hides the ghost (once per press).
    void raceToggles(const std::function<bool(int)>& debounced);
    // W/A/S/D, and the pad's left stick, push the ball.
    void push(const PadCommands& pad);

  private:
    InputSource* window;
    MyCollision* race;
    PhysicsWorld* physicsWorld;
    bool pauseKeyDown = false;
    bool ghostKeyDown = false;
    GamepadMapper pad;
};

} // namespace tovi
