#pragma once
// The panels over the game: the options screen (O on the start, win and lose
// screens and in a paused race, Y on a pad), the F1 key help and the start
// screen's key panel, drawn with ImGui. It is also the one place the modals
// get their input from: while the options, a question or the name field is
// open, every key, typed character and pad button of the poll goes to the
// innermost one, and the game's own input waits.
#include "app/Panels.h"
#include "core/editor/PlacementForm.h"
#include "core/input/Gamepad.h"
#include "core/player/KeyHelp.h"
#include "core/player/OptionsScreen.h"

#include <functional>
#include <string>
#include <vector>

struct GLFWwindow;

namespace tovi {
class GameWindow;
class Modal;
class ModalStack;
class Settings;

// What the game is showing this frame.
struct MenuScene {
    bool onScreen = false; // the start, win or lose picture
    bool startScreen = false;
    bool paused = false; // a paused race
    bool editMode = false;
    bool showHelp = false;    // F1
    Editor* editor = nullptr; // in edit mode with the cursor free: the property panel
};

// How the options reach the rest of the game.
struct MenuHooks {
    // The sound's volume (0 to 10) and mute, and setting them (kept by the sound).
    std::function<void(int& volume, bool& muted)> readSound;
    std::function<void(int volume, bool muted)> setSound;
    // Mouse speed, inverted y, the pad's dead zone and the key bindings changed.
    std::function<void()> controlsChanged;
};

class GameMenus {
  public:
    // sizeFromCommandLine: the window's size was given for this run; a size
    // chosen in the options is still kept.
    GameMenus(GLFWwindow* window, GameWindow& gameWindow, ModalStack& modals, Settings& settings,
              PlayerOptions& options, MenuHooks hooks, bool sizeFromCommandLine);

    // What a poll's input did.
    struct Input {
        bool modalOpen = false;     // a modal is open after it
        bool escapeForGame = false; // Escape pressed with no modal open
    };
    // After polling events, before the frame update: opens the options, and
    // hands the poll's keys, characters and pad buttons to the open modals.
    Input update(const MenuScene& scene);
    // After the frame is drawn: the panels over it.
    void draw(const MenuScene& scene, int framebufferWidth, int framebufferHeight);

    // The shortest time a frame may take under the frame-rate cap; 0 for none.
    double frameSeconds() const;
    // Puts the window into the mode and size the options hold, and sets the
    // vertical sync; at start a size from the command line is left alone.
    void applyDisplay(bool atStart);
    bool optionsOpen() const { return screen.isOpen(); }
    // After draw: whether the property panel has the keyboard (a field is
    // being typed into) or the mouse (the pointer is over it).
    bool panelKeyboard() const { return keyboardToPanel; }
    bool panelMouse() const { return mouseToPanel; }

  private:
    void save();
    void controlsChanged();
    void trackLastDevice(bool keyPressed, const GamepadState* pad);
    int stepInput(const GamepadState* pad);

    GLFWwindow* window;
    GameWindow& gameWindow;
    ModalStack& modals;
    const Modal* ourModal = nullptr; // the options on the stack, while open
    Settings& settings;
    PlayerOptions& options;
    MenuHooks hooks;
    bool sizeFromCommandLine;
    OptionsScreen screen;
    Panels panels;
    PlacementForm form;
    bool keyboardToPanel = false;
    bool mouseToPanel = false;
    bool justOpened = false;
    bool keyTaken = false; // a key pressed this frame went to a binding
    int pendingStep = 0;   // Left / Right for the options drawn this frame
    bool padLast = false;
    bool vsyncSet = false;
    bool vsyncOn = false;
    std::array<bool, GamepadState::ButtonCount> padHeld{};
    bool stickHeld = false;
    std::vector<KeyRow> rows;
    std::array<int, 2> sizeSet; // the window size last asked for
};

} // namespace tovi
