#pragma once
#include "core/input/Gamepad.h"

namespace tovi {

// Everything the controls read from the window: keys, the cursor and the
// frame clock. The game implementation talks to GLFW; tests script it.
class InputSource {
  public:
    virtual ~InputSource() = default;
    // True while the key (a GLFW key code) is reported pressed.
    virtual bool keyPressed(int key) = 0;
    // True when the key went down since the last frame, even if it is up
    // again or was down before that (released and pressed between frames).
    virtual bool keyWentDown(int key) {
        (void)key;
        return false;
    }
    virtual void cursorPos(double& x, double& y) = 0;
    virtual void setCursorPos(double x, double y) = 0;
    // Whether a mouse button is held: 0 the left, 1 the right.
    virtual bool mouseButton(int button) {
        (void)button;
        return false;
    }
    // Shows the cursor (the editor's cursor mode) or hides and holds it for
    // mouse look.
    virtual void showCursor(bool shown) { (void)shown; }
    // Seconds, like glfwGetTime.
    virtual double time() = 0;
    // Whether the window has the input focus; mouse look only works then.
    virtual bool focused() = 0;
    // The first connected gamepad's state; false when none is connected.
    // Asked every frame, so a pad plugged in or out while the game runs is
    // picked up or dropped.
    virtual bool gamepad(GamepadState& state) {
        (void)state;
        return false;
    }
};

} // namespace tovi
