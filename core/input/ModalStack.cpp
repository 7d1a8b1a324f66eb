#include "core/input/ModalStack.h"

#include "core/input/Gamepad.h"
#include "core/input/Keys.h"

#include <algorithm>

namespace tovi {

bool Modal::padPressed(int button) {
    if (button == GamepadState::A)
        return keyPressed(key::Y);
    if (button == GamepadState::X)
        return keyPressed(key::N);
    return false;
}

Modal* ModalStack::open(std::unique_ptr<Modal> modal) {
    if (modal == nullptr)
        return nullptr;
    modals.push_back(std::move(modal));
    return modals.back().get();
}

bool ModalStack::isOpen(const Modal* modal) const {
    return std::any_of(modals.begin(), modals.end(),
                       [modal](const std::unique_ptr<Modal>& open) { return open.get() == modal; });
}

void ModalStack::closeInnermost() {
    // Off the stack first, so its answer may open the next modal.
    std::unique_ptr<Modal> leaving = std::move(modals.back());
    modals.pop_back();
    leaving->closed();
}

void ModalStack::close(const Modal* modal) {
    if (!isOpen(modal))
        return;
    while (!modals.empty()) {
        const bool last = modals.back().get() == modal;
        closeInnermost();
        if (last)
            return;
    }
}

bool ModalStack::keyPressed(int key) {
    Modal* modal = innermost();
    if (modal == nullptr)
        return false;
    if (key >= 0 && static_cast<std::size_t>(key) < takenKeys.size())
        takenKeys.set(static_cast<std::size_t>(key));
    const bool done = key == key::Escape ? modal->escape() : modal->keyPressed(key);
    if (done && innermost() == modal)
        closeInnermost();
    return true;
}

bool ModalStack::typed(unsigned codepoint) {
    Modal* modal = innermost();
    if (modal == nullptr)
        return false;
    if (modal->typed(codepoint) && innermost() == modal)
        closeInnermost();
    return true;
}

bool ModalStack::padPressed(int button) {
    Modal* modal = innermost();
    if (modal == nullptr)
        return false;
    if (button >= 0 && button < GamepadState::ButtonCount)
        takenButtons.set(static_cast<std::size_t>(button));
    const bool done = button == GamepadState::B ? modal->escape() : modal->padPressed(button);
    if (done && innermost() == modal)
        closeInnermost();
    return true;
}

bool ModalStack::gameMaySee(int key, bool down) {
    if (!modals.empty())
        return false;
    if (key < 0 || static_cast<std::size_t>(key) >= takenKeys.size() ||
        !takenKeys.test(static_cast<std::size_t>(key)))
        return down;
    if (!down)
        takenKeys.reset(static_cast<std::size_t>(key));
    return false;
}

bool ModalStack::gameMaySeeButton(int button, bool down) {
    if (!modals.empty())
        return false;
    if (button < 0 || button >= GamepadState::ButtonCount ||
        !takenButtons.test(static_cast<std::size_t>(button)))
        return down;
    if (!down)
        takenButtons.reset(static_cast<std::size_t>(button));
    return false;
}

bool ModalGate::gamepad(GamepadState& state) {
    if (!inner.gamepad(state))
        return false;
    for (std::size_t b = 0; b < state.buttons.size(); ++b)
        state.buttons[b] = modals.gameMaySeeButton(static_cast<int>(b), state.buttons[b]);
    return true;
}

Question::Question(std::vector<std::string> lines, std::function<void(Answer)> onAnswer)
    : text(std::move(lines)), answered(std::move(onAnswer)) {}

bool Question::keyPressed(int key) {
    if (key == key::Y)
        answer = Answer::Yes;
    else if (key == key::N)
        answer = Answer::No;
    else
        return false;
    return true;
}

void Question::closed() {
    if (answered)
        answered(answer);
}

void Question::lines(std::vector<std::string>& out) const {
    out = text;
}

} // namespace tovi
