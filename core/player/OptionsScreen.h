#pragma once
// The options screen's state apart from its drawing: open or closed, a key
// binding waiting for its key, the reset waiting for its confirmation, and
// the last message. While it is open it takes every key.
#include "core/input/ModalStack.h"
#include "core/player/PlayerOptions.h"

#include <string>

namespace tovi {

class OptionsScreen {
  public:
    explicit OptionsScreen(PlayerOptions& options) : opts(options) {}

    bool isOpen() const { return open; }
    void show();
    // Escape, or B on a pad: one step back. A binding waiting for its key or
    // a reset waiting for its answer is cancelled; otherwise the screen
    // closes. True when it closed.
    bool back();

    // The action now waits for the next key pressed.
    void beginBinding(Action action);
    bool binding() const { return waiting; }
    Action bindingAction() const { return bindingFor; }
    // The key pressed while a binding waits (never Escape: that is back()).
    // A free key is bound; a key another action has is refused the first
    // time and swapped when pressed again; a key the game keeps is refused.
    // True when a binding changed.
    bool keyForBinding(int key);

    void askReset();
    bool confirmingReset() const { return confirming; }
    // The answer to the reset question: yes puts every option and key back
    // on its default (true when it did).
    bool answerReset(bool yes);

    const std::string& message() const { return said; }
    void say(const std::string& text) { said = text; }
    PlayerOptions& options() { return opts; }

  private:
    PlayerOptions& opts;
    bool open = false;
    bool waiting = false;
    Action bindingFor = Action::Forward;
    int refusedKey = -1; // the key refused last as taken by another action
    bool confirming = false;
    std::string said;
};

// The options screen on the modal stack: it takes every key while open. The
// keys reach a binding that waits for one; moving about the screen is the
// panel's own (its drawing reads the arrows, Enter, the mouse and the pad).
// Escape and pad B step back (see OptionsScreen::back) and close it last.
class OptionsModal : public Modal {
  public:
    // bindingChanged: a key was bound (the caller keeps and applies it).
    OptionsModal(OptionsScreen& screen, std::function<void()> bindingChanged)
        : screen(screen), bindingChanged(std::move(bindingChanged)) {}
    bool keyPressed(int key) override;
    bool padPressed(int button) override;
    bool escape() override { return screen.back(); }
    void closed() override;

  private:
    OptionsScreen& screen;
    std::function<void()> bindingChanged;
};

} // namespace tovi
