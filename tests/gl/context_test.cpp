#include "GlTestContext.h"

#include "app/GameWindow.h"

// The game's window hints give an OpenGL 3.3-or-later core context, and its
// window keeps a tap that began and ended between two frames.
namespace {
using GameContext = tovi::testing::GlTest;

TEST_F(GameContext, HintsGiveACoreContextOfAtLeast33) {
    GLint major = 0;
    GLint minor = 0;
    GLint profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_NE(profile & GL_CONTEXT_CORE_PROFILE_BIT, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A slow frame can let a key's press and release arrive in the same event
// poll; the press counts until the next poll.
TEST_F(GameContext, ATapWithinOnePollCountsUntilTheNext) {
    GLFWwindow* window = context->window;
    tovi::GameWindow gameWindow(window);
    // The callback the game window installed, as the event poll would call it.
    GLFWkeyfun onKey = glfwSetKeyCallback(window, nullptr);
    glfwSetKeyCallback(window, onKey);
    ASSERT_NE(onKey, nullptr);
    onKey(window, GLFW_KEY_B, 0, GLFW_PRESS, 0);
    onKey(window, GLFW_KEY_B, 0, GLFW_RELEASE, 0);
    onKey(window, GLFW_KEY_UNKNOWN, 0, GLFW_PRESS, 0); // no key code: ignored
    EXPECT_TRUE(tovi::GameWindow::keyDown(window, GLFW_KEY_B));
    EXPECT_FALSE(tovi::GameWindow::keyDown(window, GLFW_KEY_N));
    gameWindow.pollEvents();
    EXPECT_FALSE(tovi::GameWindow::keyDown(window, GLFW_KEY_B));
}

} // namespace
