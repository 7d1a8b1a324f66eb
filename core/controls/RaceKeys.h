#pragma once
#include "core/input/Gamepad.h"

#include <functional>

namespace tovi {
class InputSource;
class MyCollision;
class PhysicsWorld;
class KeyBindings;

// The keys and pad that act on the race itself: the pause, the forced win,
// the ghost, and the push on the ball.
class RaceKeys {
  public:
    // keys: the player's keys for pause, ghost and the pushes.
    RaceKeys(InputSource* input, MyCollision* race, PhysicsWorld* physicsWorld, const KeyBindings* keys)
        : window(input), race(race), physicsWorld(physicsWorld), bound(keys) {}

    // The pad's commands this frame; none without the focus (or a pad).
    PadCommands readPad(bool focused);
    // The pause key (P unless bound to another; Start on a pad) pauses and resumes, once per press however
    // long it is held, so a slow frame cannot pause and resume in one press.
    void pauseKey(const PadCommands& pad);
    // B wins the race at once; the ghost key (V) shows or hides it (once per press).
    void raceToggles(const std::function<bool(int)>& pressed);
    // The push keys (W/A/S/D unless bound to others) and the pad's left stick push the ball; not
    // while paused.
    void push(const PadCommands& pad);
    // The share of a stick's travel that counts as centred.
    void setPadDeadZone(float share) { pad.deadZone = share; }

  private:
    InputSource* window;
    MyCollision* race;
    PhysicsWorld* physicsWorld;
    const KeyBindings* bound;
    bool pauseKeyDown = false;
    bool ghostKeyDown = false;
    GamepadMapper pad;
};

} // namespace tovi
