#pragma once
#include "core/input/Input.h"

struct GLFWwindow;

namespace tovi {

// The game's input: the GLFW window's keys, cursor, clock and focus, and
// the gamepads through GLFW's standard gamepad mapping.
class GlfwInput : public InputSource {
  public:
    explicit GlfwInput(GLFWwindow* w) : window(w) {}
    bool keyPressed(int key) override;
    bool keyWentDown(int key) override;
    void cursorPos(double& x, double& y) override;
    void setCursorPos(double x, double y) override;
    double time() override;
    bool focused() override;
    bool mouseButton(int button) override;
    void showCursor(bool shown) override;
    bool gamepad(GamepadState& state) override;

    GLFWwindow* window;
};

} // namespace tovi
