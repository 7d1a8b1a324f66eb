#include "app/GlfwInput.h"

#include "render/GL.h"

#include <GLFW/glfw3.h>

namespace tovi {

bool GlfwInput::keyPressed(int key) {
    return glfwGetKey(window, key) == GLFW_PRESS;
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

} // namespace tovi
