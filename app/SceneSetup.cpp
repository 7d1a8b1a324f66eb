#include "app/SceneSetup.h"

#include "render/GL.h"

#include <GLFW/glfw3.h>

namespace tovi {

void setupScene(GLFWwindow* window) {
    glfwSetWindowTitle(window, "Zentaro");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
}

void teardownScene() {}

void updateFrame() {}

} // namespace tovi
