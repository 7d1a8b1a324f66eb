#include "app/GameMenus.h"

#include "app/GameWindow.h"
#include "app/KeyPanels.h"
#include "app/OptionsPanel.h"
#include "app/PropertyPanel.h"
#include "core/input/Keys.h"
#include "core/input/ModalStack.h"
#include "core/player/Settings.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <iostream>

namespace tovi {

namespace {
// The panels' font: Debian's DejaVu Sans (fonts-dejavu-core).
constexpr const char* kPanelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// A stick leaning this far counts as a press of its direction.
constexpr float kStickPress = 0.6f;
} // namespace

GameMenus::GameMenus(GLFWwindow* w, GameWindow& gw, ModalStack& m, Settings& s, PlayerOptions& o, MenuHooks h,
                     bool sizeGiven)
    : window(w), gameWindow(gw), modals(m), settings(s), options(o), hooks(std::move(h)),
      sizeFromCommandLine(sizeGiven), screen(o),
      panels(w, kPanelFont), sizeSet{o.windowWidth, o.windowHeight} {}

void GameMenus::trackLastDevice(bool keyPressed, const GamepadState* pad) {
    if (keyPressed)
        padLast = false;
    if (pad == nullptr)
        return;
    for (bool down : pad->buttons)
        padLast = padLast || down;
    for (int axis : {GamepadState::LeftX, GamepadState::LeftY, GamepadState::RightX, GamepadState::RightY})
        padLast = padLast || std::fabs(pad->axes[static_cast<std::size_t>(axis)]) > kStickPress;
}

int GameMenus::stepInput(const GamepadState* pad) {
    int step = 0;
    if (gameWindow.pressed(GLFW_KEY_LEFT))
        step = -1;
    if (gameWindow.pressed(GLFW_KEY_RIGHT))
        step = 1;
    if (pad == nullptr)
        return step;
    auto went = [&](int button) {
        const auto b = static_cast<std::size_t>(button);
        const bool now = pad->buttons[b] && !padHeld[b];
        return now;
    };
    if (went(GamepadState::DpadLeft))
        step = -1;
    if (went(GamepadState::DpadRight))
        step = 1;
    const float x = pad->axes[GamepadState::LeftX];
    const bool leaning = std::fabs(x) > kStickPress;
    if (leaning && !stickHeld)
        step = x < 0.0f ? -1 : 1;
    stickHeld = leaning;
    return step;
}

GameMenus::Input GameMenus::update(const MenuScene& scene) {
    GamepadState padState;
    GLFWgamepadstate raw;
    const GamepadState* pad = nullptr;
    if (glfwJoystickIsGamepad(GLFW_JOYSTICK_1) == GLFW_TRUE && glfwGetGamepadState(GLFW_JOYSTICK_1, &raw)) {
        for (std::size_t a = 0; a < padState.axes.size(); ++a)
            padState.axes[a] = raw.axes[a];
        for (std::size_t b = 0; b < padState.buttons.size(); ++b)
            padState.buttons[b] = raw.buttons[b] == GLFW_PRESS;
        pad = &padState;
    }
    trackLastDevice(gameWindow.firstPressed() >= 0, pad);
    std::array<bool, GamepadState::ButtonCount> padWent{};
    if (pad != nullptr)
        for (std::size_t b = 0; b < padHeld.size(); ++b)
            padWent[b] = pad->buttons[b] && !padHeld[b];
    const int step = screen.isOpen() ? stepInput(pad) : 0;
    if (pad != nullptr)
        padHeld = pad->buttons;

    justOpened = false;
    keyTaken = false;
    Input input;
    if (!screen.isOpen()) {
        // Not over another question, nor in the editor.
        const bool mayOpen = (scene.onScreen || scene.paused) && !scene.editMode && modals.empty();
        if (mayOpen && (gameWindow.pressed(GLFW_KEY_O) || padWent[GamepadState::Y])) {
            if (!sizeFromCommandLine)
                options.fullScreen = gameWindow.fullScreen();
            screen.show();
            ourModal = modals.open(std::make_unique<OptionsModal>(screen, [this] { controlsChanged(); }));
            justOpened = true;
            // The O (or Y) that opened the screen is not a key for it.
            input.modalOpen = true;
            return input;
        }
    }

    // Every key, character and pad button of this poll, in order, goes to
    // the innermost modal open; Escape with none open is the game's.
    for (const GameWindow::InputEvent& event : gameWindow.inputEvents()) {
        if (modals.empty()) {
            // Escape in a field of the property panel only leaves the field.
            input.escapeForGame = input.escapeForGame ||
                                  (!event.character && event.code == GLFW_KEY_ESCAPE && !keyboardToPanel);
            continue;
        }
        const bool options = modals.innermost() == ourModal;
        if (event.character) {
            modals.typed(event.code);
        } else if (!event.repeat || !options) { // only a text field takes repeats
            keyTaken = keyTaken || (options && screen.binding());
            modals.keyPressed(static_cast<int>(event.code));
        }
    }
    for (std::size_t b = 0; b < padWent.size(); ++b)
        if (padWent[b])
            modals.padPressed(static_cast<int>(b));
    pendingStep = screen.isOpen() ? step : 0;
    input.modalOpen = !modals.empty();
    return input;
}

void GameMenus::controlsChanged() {
    save();
    if (hooks.controlsChanged)
        hooks.controlsChanged();
}

void GameMenus::save() {
    options.store(settings);
    // Without a folder for the player's files the choice lasts this run only.
    if (!settings.path().empty())
        settings.save(std::cout);
}

double GameMenus::frameSeconds() const {
    return options.frameCap > 0 ? 1.0 / options.frameCap : 0.0;
}

void GameMenus::applyDisplay(bool atStart) {
    if (!vsyncSet || vsyncOn != options.vsync) {
        glfwSwapInterval(options.vsync ? 1 : 0);
        vsyncSet = true;
        vsyncOn = options.vsync;
    }
    // The window opened at the kept size, or at the command line's, which
    // holds for this run with its window mode; a size chosen since is set.
    if (atStart && sizeFromCommandLine)
        return;
    if (options.windowWidth != sizeSet[0] || options.windowHeight != sizeSet[1]) {
        sizeSet = {options.windowWidth, options.windowHeight};
        gameWindow.setWindowedSize(options.windowWidth, options.windowHeight);
    }
    if (gameWindow.fullScreen() != options.fullScreen)
        gameWindow.toggleFullScreen();
}

void GameMenus::draw(const MenuScene& scene, int width, int height) {
    // While a key is awaited, and in the frame it comes, the arrows and
    // Enter are that key, not moves on the screen.
    panels.keyboardNavigation(!screen.binding() && !keyTaken && !scene.editMode);
    panels.beginFrame(width, height);
    if (screen.isOpen()) {
        OptionsView view;
        if (hooks.readSound)
            hooks.readSound(view.volume, view.muted);
        const int volume = view.volume;
        const bool muted = view.muted;
        gameWindow.windowSize(view.windowWidth, view.windowHeight);
        gameWindow.monitorSize(view.monitorWidth, view.monitorHeight);
        view.padHints = padLast;
        view.step = pendingStep;
        view.justOpened = justOpened;
        const OptionsChanges changes = drawOptionsPanel(screen, view);
        if (changes.display)
            applyDisplay(false);
        if (changes.sound && hooks.setSound && (view.volume != volume || view.muted != muted))
            hooks.setSound(view.volume, view.muted);
        if (changes.controls)
            controlsChanged();
        else if (changes.display)
            save();
    } else if (scene.showHelp) {
        if (scene.editMode)
            editorHelpRows(options.keys, rows);
        else
            raceHelpRows(options.keys, padLast, rows);
        drawKeyPanel("help", scene.editMode ? "Editor keys" : "Race keys", rows, PanelPlace::Centre);
    } else if (scene.onScreen) {
        screenPanelRows(options.keys, padLast, !scene.startScreen, rows);
        drawKeyPanel("screen keys", "", rows, PanelPlace::LowerRight);
    }
    const bool propertyPanel = scene.editor != nullptr && !screen.isOpen();
    if (propertyPanel)
        drawPropertyPanel(form, *scene.editor);
    keyboardToPanel = propertyPanel && panels.wantsKeyboard();
    mouseToPanel = propertyPanel && panels.wantsMouse();
    pendingStep = 0;
    panels.endFrame();
}

} // namespace tovi
