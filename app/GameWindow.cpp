#include "app/GameWindow.h"

#include "core/view/ScreenLayout.h"
#include "render/GL.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <vector>

namespace tovi {

static_assert(GLFW_KEY_LAST < 512, "every key code fits GameWindow::pressedInPoll");

namespace {
GameWindow& of(GLFWwindow* window) {
    return *static_cast<GameWindow*>(glfwGetWindowUserPointer(window));
}

// A real key's place in pressedInPoll; GLFW_KEY_UNKNOWN (-1) has none.
bool isKeyCode(int key) {
    return key >= 0 && key <= GLFW_KEY_LAST;
}
} // namespace

GameWindow::GameWindow(GLFWwindow* w) : window(w) {
    glfwGetFramebufferSize(window, &width, &height);
    handedWidth = width;
    handedHeight = height;
    minimised = glfwGetWindowAttrib(window, GLFW_ICONIFIED) == GLFW_TRUE;
    glfwSetWindowUserPointer(window, this);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetWindowIconifyCallback(window, onIconify);
    glfwSetKeyCallback(window, onKey);
    // A click shorter than a frame (the editor's select) still reads as
    // pressed at the next look, as a tapped key does.
    glfwSetInputMode(window, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);
    glfwSetCharCallback(window, onChar);
}

GameWindow::~GameWindow() {
    glfwSetCharCallback(window, nullptr);
    glfwSetKeyCallback(window, nullptr);
    glfwSetWindowIconifyCallback(window, nullptr);
    glfwSetFramebufferSizeCallback(window, nullptr);
    glfwSetWindowUserPointer(window, nullptr);
}

void GameWindow::onFramebufferSize(GLFWwindow* window, int w, int h) {
    GameWindow& self = of(window);
    self.width = w;
    self.height = h;
}

void GameWindow::onIconify(GLFWwindow* window, int iconified) {
    of(window).minimised = iconified == GLFW_TRUE;
}

void GameWindow::addEvent(bool character, unsigned code, bool repeat) {
    // A poll holds a few events; a flood is cut off, never stored.
    constexpr std::size_t kMostEvents = 256;
    if (events.size() < kMostEvents)
        events.push_back({character, code, repeat});
}

void GameWindow::onChar(GLFWwindow* window, unsigned codepoint) {
    of(window).addEvent(true, codepoint);
}

void GameWindow::onKey(GLFWwindow* window, int key, int, int action, int) {
    GameWindow& self = of(window);
    // A text field takes back one character a repeat.
    if (action == GLFW_REPEAT && key == GLFW_KEY_BACKSPACE)
        self.addEvent(false, static_cast<unsigned>(key), true);
    // A press, not the repeats of a held key.
    if (action != GLFW_PRESS)
        return;
    if (isKeyCode(key)) {
        self.addEvent(false, static_cast<unsigned>(key));
        self.pressedInPoll.set(static_cast<std::size_t>(key));
    }
    if (key == GLFW_KEY_F11)
        self.fullScreenAsked = !self.fullScreenAsked;
}

void GameWindow::pollEvents() {
    pressedInPoll.reset();
    events.clear();
    glfwPollEvents();
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST && heldFromPanel.any(); ++key)
        if (heldFromPanel.test(static_cast<std::size_t>(key)) && glfwGetKey(window, key) != GLFW_PRESS)
            heldFromPanel.reset(static_cast<std::size_t>(key));
}

namespace {
const GameWindow* installedOn(GLFWwindow* window) {
    return static_cast<const GameWindow*>(glfwGetWindowUserPointer(window));
}
} // namespace

bool GameWindow::keyDown(GLFWwindow* window, int key) {
    const GameWindow* self = installedOn(window);
    if (self != nullptr && !self->gameSees(key))
        return false;
    return glfwGetKey(window, key) == GLFW_PRESS || keyWentDown(window, key);
}

bool GameWindow::keyWentDown(GLFWwindow* window, int key) {
    const GameWindow* self = installedOn(window);
    return self != nullptr && isKeyCode(key) && self->gameSees(key) &&
           self->pressedInPoll.test(static_cast<std::size_t>(key));
}

bool GameWindow::gameSees(int key) const {
    return !keysToPanel && !(isKeyCode(key) && heldFromPanel.test(static_cast<std::size_t>(key)));
}

bool GameWindow::mouseDown(GLFWwindow* window, int button) {
    // Asked even for a panel, so a click on the panel is not kept for later.
    const bool down = glfwGetMouseButton(window, button) == GLFW_PRESS;
    const GameWindow* self = installedOn(window);
    return down && (self == nullptr || !self->mouseToPanel);
}

void GameWindow::panelInput(bool keyboard, bool mouse) {
    if (keysToPanel && !keyboard)
        for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key)
            if (glfwGetKey(window, key) == GLFW_PRESS)
                heldFromPanel.set(static_cast<std::size_t>(key));
    keysToPanel = keyboard;
    mouseToPanel = mouse;
}

bool GameWindow::pressed(int key) const {
    return isKeyCode(key) && pressedInPoll.test(static_cast<std::size_t>(key));
}

int GameWindow::firstPressed() const {
    for (int key = 0; key <= GLFW_KEY_LAST; ++key)
        if (pressedInPoll.test(static_cast<std::size_t>(key)))
            return key;
    return -1;
}

bool GameWindow::update() {
    if (fullScreenAsked) {
        fullScreenAsked = false;
        toggleFullScreen();
    }
    if (width == handedWidth && height == handedHeight)
        return false;
    handedWidth = width;
    handedHeight = height;
    return true;
}

bool GameWindow::hidden() const {
    return minimised || width <= 0 || height <= 0 || glfwGetWindowAttrib(window, GLFW_VISIBLE) != GLFW_TRUE;
}

void GameWindow::windowSize(int& windowWidth, int& windowHeight) const {
    glfwGetWindowSize(window, &windowWidth, &windowHeight);
}

bool GameWindow::fullScreen() const {
    return glfwGetWindowMonitor(window) != nullptr;
}

void GameWindow::monitorSize(int& monitorWidth, int& monitorHeight) const {
    monitorWidth = monitorHeight = 0;
    GLFWmonitor* monitor = glfwGetWindowMonitor(window);
    if (monitor == nullptr)
        monitor = glfwGetPrimaryMonitor();
    if (monitor == nullptr)
        return;
    if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
        monitorWidth = mode->width;
        monitorHeight = mode->height;
    }
}

void GameWindow::setWindowedSize(int w, int h) {
    int monitorWidth = 0;
    int monitorHeight = 0;
    monitorSize(monitorWidth, monitorHeight);
    if (monitorWidth > 0 && monitorHeight > 0) {
        w = std::min(w, monitorWidth);
        h = std::min(h, monitorHeight);
    }
    if (fullScreen()) {
        savedWidth = w;
        savedHeight = h;
        return;
    }
    glfwSetWindowSize(window, w, h);
}

void GameWindow::toggleFullScreen() {
    if (glfwGetWindowMonitor(window) != nullptr) {
        glfwSetWindowMonitor(window, nullptr, savedX, savedY, savedWidth, savedHeight, GLFW_DONT_CARE);
        return;
    }
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    std::vector<ScreenRect> areas(static_cast<std::size_t>(count > 0 ? count : 0));
    for (std::size_t i = 0; i < areas.size(); ++i) {
        ScreenRect& area = areas[i];
        glfwGetMonitorPos(monitors[i], &area.x, &area.y);
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitors[i])) {
            area.width = mode->width;
            area.height = mode->height;
        }
    }
    glfwGetWindowPos(window, &savedX, &savedY);
    glfwGetWindowSize(window, &savedWidth, &savedHeight);
    const int chosen =
        mostCoveredArea(ScreenRect{savedX, savedY, savedWidth, savedHeight}, areas.data(), count);
    if (chosen < 0)
        return;
    GLFWmonitor* monitor = monitors[chosen];
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr)
        return;
    // The monitor's own mode: no mode switch, the desktop stays as it is.
    glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

} // namespace tovi
