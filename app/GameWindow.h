#pragma once
// The game window's size, mode and key presses. GLFW's callbacks only record
// what happened (they may fire many times a frame); the frame loop acts on it
// once at the top of a frame.
#include <bitset>
#include <vector>

struct GLFWwindow;

namespace tovi {

class GameWindow {
  public:
    // Installs the window's framebuffer-size, minimise and key callbacks.
    explicit GameWindow(GLFWwindow* window);
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    // GLFW's event poll for a frame. Key presses it delivers are kept until
    // the next poll, so a tap shorter than a frame still counts once.
    void pollEvents();
    // Whether the key (a GLFW key code) is down, or went down in the last
    // poll, in the window a GameWindow is installed on; otherwise whether it
    // is down.
    static bool keyDown(GLFWwindow* window, int key);
    // Whether the key went down in the last poll, and the lowest key code
    // that did (-1 for none).
    bool pressed(int key) const;
    int firstPressed() const;
    // Whether the key went down in the last poll (then keyDown is true too).
    static bool keyWentDown(GLFWwindow* window, int key);
    // Whether the mouse button (a GLFW button) is held (or was clicked since
    // the last look).
    static bool mouseDown(GLFWwindow* window, int button);
    // A panel has the keyboard (a field typed into) or the mouse (the pointer
    // over it): keyDown, keyWentDown and mouseDown report nothing meanwhile,
    // and keys still held when the panel lets go stay unseen until let go
    // (the Enter that applied a field places nothing).
    void panelInput(bool keyboard, bool mouse);

    // What the last poll delivered in order, for questions and text fields:
    // key presses (Backspace also as it repeats) and typed characters.
    struct InputEvent {
        bool character = false; // else a key
        unsigned code = 0;      // GLFW key code, or Unicode code point
        bool repeat = false;    // a held key's repeat, not a press
    };
    const std::vector<InputEvent>& inputEvents() const { return events; }

    // At the top of a frame, after polling events: carries out an F11 asked
    // for since, and says whether the framebuffer's size differs from the
    // one last handed out (true once per change).
    bool update();
    // Nothing to draw on: the window is minimised or a side is 0.
    bool hidden() const;

    // The framebuffer in pixels and the window in screen coordinates (they
    // differ on high-density screens).
    int framebufferWidth() const { return width; }
    int framebufferHeight() const { return height; }
    void windowSize(int& windowWidth, int& windowHeight) const;

    // Between a window and full screen on the monitor under most of the
    // window; back to the window's place and size from before.
    void toggleFullScreen();
    bool fullScreen() const;
    // The window's size, clamped to its monitor's; in full screen the size it
    // goes back to.
    void setWindowedSize(int windowWidth, int windowHeight);
    // The monitor's size the window is (mostly) on; 0 x 0 when unknown.
    void monitorSize(int& monitorWidth, int& monitorHeight) const;

  private:
    static void onFramebufferSize(GLFWwindow* window, int width, int height);
    static void onIconify(GLFWwindow* window, int iconified);
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned codepoint);
    void addEvent(bool character, unsigned code, bool repeat = false);
    // The game's keys are not the panel's now.
    bool gameSees(int key) const;

    GLFWwindow* window;
    int width = 0; // the framebuffer, as the callback last reported it
    int height = 0;
    int handedWidth = 0; // as update() last handed it out
    int handedHeight = 0;
    bool minimised = false;
    bool fullScreenAsked = false;
    std::bitset<512> pressedInPoll; // indexed by GLFW key code (at most 348)
    std::vector<InputEvent> events;
    bool keysToPanel = false;
    bool mouseToPanel = false;
    std::bitset<512> heldFromPanel; // keys down when the panel let go
    // The window's place and size before full screen.
    int savedX = 0;
    int savedY = 0;
    int savedWidth = 0;
    int savedHeight = 0;
};

} // namespace tovi
