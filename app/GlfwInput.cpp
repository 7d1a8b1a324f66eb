#include "app/GlfwInput.h"

#include "app/GameWindow.h"

#include "render/GL.h"

#include <GLFW/glfw3.h>

namespace tovi {

bool GlfwInput::keyPressed(int key) {
    return GameWindow::keyDown(window, key);
}
bool GlfwInput::keyWentDown(int key) {
    return GameWindow::keyWentDown(window, key);
}
void GlfwInput::cursorPos(double& x, double& y) {
    glfwGetCursorPos(window, &x, &y);
}
void GlfwInput::setCursorPos(double x, double y) {
    glfwSetCursorPos(window, x, y);
}
double GlfwInput::time() {
    return glfwGetTime();
}
bool GlfwInput::focused() {
    return glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
}

bool GlfwInput::gamepad(GamepadState& state) {
    static_assert(GamepadState::AxisCount == GLFW_GAMEPAD_AXIS_LAST + 1, "GLFW's axis order");
    static_assert(GamepadState::ButtonCount == GLFW_GAMEPAD_BUTTON_LAST + 1, "GLFW's button order");
    // GLFW follows joysticks coming and going as it polls events.
    for (int id = GLFW_JOYSTICK_1; id <= GLFW_JOYSTICK_LAST; ++id) {
        GLFWgamepadstate pad;
        if (glfwJoystickIsGamepad(id) == GLFW_TRUE && glfwGetGamepadState(id, &pad) == GLFW_TRUE) {
            for (size_t a = 0; a < state.axes.size(); ++a)
                state.axes[a] = pad.axes[a];
            for (size_t b = 0; b < state.buttons.size(); ++b)
                state.buttons[b] = pad.buttons[b] == GLFW_PRESS;
            return true;
        }
    }
    return false;
}

bool GlfwInput::mouseButton(int button) {
    return GameWindow::mouseDown(window, button == 0 ? GLFW_MOUSE_BUTTON_LEFT : GLFW_MOUSE_BUTTON_RIGHT);
}

void GlfwInput::showCursor(bool shown) {
    glfwSetInputMode(window, GLFW_CURSOR, shown ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

} // namespace tovi
