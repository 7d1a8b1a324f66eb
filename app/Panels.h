#pragma once
// Dear ImGui on the game's window: the options screen, the key help and the
// start screen's key panel are drawn with it. One owner of the ImGui context
// and its GLFW and OpenGL 3 back ends; made after the window's own input
// callbacks (ImGui chains to them) and released while the GL context is
// current. ImGui's headers stay inside app/.
#include <string>

struct GLFWwindow;
struct ImFont;
struct ImGuiContext;

namespace tovi {

class Panels {
  public:
    // fontPath: a TrueType font for the panels; ImGui's own font when it
    // cannot be read.
    Panels(GLFWwindow* window, const std::string& fontPath);
    ~Panels();
    Panels(const Panels&) = delete;
    Panels& operator=(const Panels&) = delete;

    // Around the panels of one frame, after the scene is drawn. The text
    // scales with the framebuffer's height (readable from 600 to 1200 rows).
    void beginFrame(int framebufferWidth, int framebufferHeight);
    void endFrame();

    // The size of the panels' text in pixels this frame.
    float textSize() const { return scale * kFontPixels; }
    // The arrows, Enter and Escape move about the panels (before beginFrame).
    void keyboardNavigation(bool on);
    // Whether the panels want the mouse (a pointer over a panel), and the
    // keyboard (a field being typed into), after this frame's panels.
    bool wantsMouse() const;
    bool wantsKeyboard() const;

  private:
    static constexpr float kFontPixels = 32.0f;
    GLFWwindow* window;
    ImGuiContext* context = nullptr;
    bool glfwReady = false;
    bool glReady = false;
    float scale = 0.0f;
};

} // namespace tovi
