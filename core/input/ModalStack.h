#pragma once
// What takes all input while it is open: a question, a text field, the
// options screen. Modals stack; the innermost (the last opened) gets every
// key press, typed character and pad button, and nothing else in the game
// acts while any is open: a running race stands paused and the cursor is
// free. Escape (pad B) closes the innermost; only with none open does
// Escape reach the game.
//
// The game feeds the stack from the window's key and character callbacks
// and from the pad's button presses; a modal answers through its own
// callback once it has left the stack (see Modal::closed), so an answer may
// open the next question.
#include "core/input/Input.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tovi {

class Modal {
  public:
    virtual ~Modal() = default;
    // A key went down (a code of core/input/Keys.h; never Escape, which the stack
    // handles). A key held down may come again as it repeats. True: the
    // modal is done and closes.
    virtual bool keyPressed(int key) = 0;
    // A character typed (a Unicode code point), for text fields.
    virtual bool typed(unsigned codepoint) {
        (void)codepoint;
        return false;
    }
    // A pad button went down (GamepadState::Button). By default A answers
    // like Y and X like N; B is Escape before it gets here.
    virtual bool padPressed(int button);
    // Escape or pad B: true (the default) closes the modal; one with
    // something open inside it may close that instead and stay.
    virtual bool escape() { return true; }
    // Called once the modal has left the stack, done or escaped: the place
    // to act on the answer. It may open further modals.
    virtual void closed() {}
    // What the game draws for it with its own text over a dark panel, top
    // line first. A modal that draws itself (with its own panels) leaves
    // it empty.
    virtual void lines(std::vector<std::string>& out) const { out.clear(); }
};

class ModalStack {
  public:
    ModalStack() = default;
    ModalStack(const ModalStack&) = delete;
    ModalStack& operator=(const ModalStack&) = delete;

    // Opens a modal inside the ones open; it gets the input from now on.
    // Returns it, still owned by the stack.
    Modal* open(std::unique_ptr<Modal> modal);
    bool empty() const { return modals.empty(); }
    std::size_t size() const { return modals.size(); }
    // The innermost modal, null when none is open.
    Modal* innermost() const { return modals.empty() ? nullptr : modals.back().get(); }
    // Whether the modal is open (anywhere on the stack).
    bool isOpen(const Modal* modal) const;

    // Each hands one event to the innermost modal and closes it when it is
    // done (Escape and pad B: when it agrees to close). False, and nothing
    // happens, when no modal is open: the event is the game's.
    bool keyPressed(int key);
    bool typed(unsigned codepoint);
    bool padPressed(int button);

    // Closes this modal and every one opened inside it, innermost first,
    // each told closed() (a modal may close itself this way).
    void close(const Modal* modal);
    // Closes everything without telling anyone (the game is ending).
    void clear() { modals.clear(); }

    // Whether the game may act on a key that is down: never while a modal
    // is open, and a key a modal took not until it has been let go (so the
    // Enter that keeps a name does not also start a race).
    bool gameMaySee(int key, bool down);
    // The same for a pad button.
    bool gameMaySeeButton(int button, bool down);

  private:
    // Takes the innermost off the stack and tells it.
    void closeInnermost();

    std::vector<std::unique_ptr<Modal>> modals;
    std::bitset<512> takenKeys; // by key code (at most 348)
    std::bitset<GamepadState::ButtonCount> takenButtons;
};

// The game's view of the window while modals may be open: keys and pad
// buttons through ModalStack::gameMaySee, no mouse button while a modal is
// open, everything else as it is. It only holds input back; the game hands
// the modals their keys, characters and pad buttons itself.
class ModalGate : public InputSource {
  public:
    ModalGate(InputSource& inner, ModalStack& modals) : inner(inner), modals(modals) {}
    // A key pressed and let go again since the last frame still counts as
    // held for a modal that took it: that press was the modal's, whichever
    // of the two the game asks first.
    bool keyPressed(int key) override {
        const bool down = inner.keyPressed(key);
        return modals.gameMaySee(key, down || inner.keyWentDown(key)) && down;
    }
    bool keyWentDown(int key) override {
        const bool wentDown = inner.keyWentDown(key);
        return modals.gameMaySee(key, wentDown || inner.keyPressed(key)) && wentDown;
    }
    void cursorPos(double& x, double& y) override { inner.cursorPos(x, y); }
    void setCursorPos(double x, double y) override { inner.setCursorPos(x, y); }
    bool mouseButton(int button) override { return modals.empty() && inner.mouseButton(button); }
    void showCursor(bool shown) override { inner.showCursor(shown); }
    double time() override { return inner.time(); }
    bool focused() override { return inner.focused(); }
    bool gamepad(GamepadState& state) override;

  private:
    InputSource& inner;
    ModalStack& modals;
};

// A question answered with Y or N (pad A or X); Escape (pad B) stays where
// the player was. Other keys leave it open.
class Question : public Modal {
  public:
    enum class Answer { Yes, No, Stay };
    // lines: the question, shown as given (the last line names the answers).
    Question(std::vector<std::string> lines, std::function<void(Answer)> onAnswer);

    bool keyPressed(int key) override;
    void closed() override;
    void lines(std::vector<std::string>& out) const override;

  private:
    std::vector<std::string> text;
    std::function<void(Answer)> answered;
    Answer answer = Answer::Stay;
};

} // namespace tovi
