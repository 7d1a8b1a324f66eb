#pragma once
// A hidden GLFW window with a 3.3 core context for tests that need GL. The
// test binary runs under Xvfb (tests/with_xvfb.sh).
#include "app/Game.h"
#include "app/LeakCheckSupport.h"
#include "render/GL.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tovi::testing {

class GlTestContext {
  public:
    GlTestContext(int width = 320, int height = 240) {
        if (!glfwInit())
            return;
        setContextHints();
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        window = glfwCreateWindow(width, height, "Zentaro test", nullptr, nullptr);
        if (window == nullptr)
            return;
        glfwMakeContextCurrent(window);
        glewExperimental = GL_TRUE;
        ok = glewInit() == GLEW_OK;
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    ~GlTestContext() {
        if (window != nullptr)
            glfwDestroyWindow(window);
        pinLoadedLibraries();
        glfwTerminate();
    }
    GLFWwindow* window = nullptr;
    bool ok = false;
};

// Test fixture: a fresh context per test, run with the source tree's
// Kobuldo/ folder as the working directory (read-only use only).
class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(ZENTARO_SOURCE_DIR);
        context = std::make_unique<GlTestContext>();
        ASSERT_TRUE(context->ok) << "no OpenGL 3.3 core context (is DISPLAY set?)";
    }
    void TearDown() override {
        context.reset();
        std::filesystem::current_path(previous);
    }
    std::unique_ptr<GlTestContext> context;
    std::filesystem::path previous;
};

} // namespace tovi::testing
