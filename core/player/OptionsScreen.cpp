#include "core/player/OptionsScreen.h"

#include "core/input/KeyNames.h"

namespace tovi {

void OptionsScreen::show() {
    open = true;
    waiting = false;
    confirming = false;
    said.clear();
}

bool OptionsScreen::back() {
    if (waiting) {
        waiting = false;
        said = std::string("Kept ") + keyLabel(opts.keys.key(bindingFor)) + " for " + actionLabel(bindingFor);
        return false;
    }
    if (confirming) {
        confirming = false;
        said.clear();
        return false;
    }
    open = false;
    return true;
}

void OptionsScreen::beginBinding(Action action) {
    waiting = true;
    bindingFor = action;
    refusedKey = -1;
    said = std::string("Press the new key for ") + actionLabel(action) + " (Escape keeps " +
           keyLabel(opts.keys.key(action)) + ")";
}

bool OptionsScreen::keyForBinding(int key) {
    if (!waiting)
        return false;
    if (key == opts.keys.key(bindingFor)) {
        waiting = false;
        said = std::string(actionLabel(bindingFor)) + " stays on " + keyLabel(key);
        return false;
    }
    const KeyBindings::Outcome outcome = opts.keys.bind(bindingFor, key, key == refusedKey, said);
    if (outcome == KeyBindings::Outcome::Refused) {
        refusedKey = opts.keys.holderOf(key, bindingFor).fixed ? -1 : key;
        return false;
    }
    waiting = false;
    return true;
}

void OptionsScreen::askReset() {
    waiting = false;
    confirming = true;
    said = "Put every option and key back as it was at first?";
}

bool OptionsScreen::answerReset(bool yes) {
    if (!confirming)
        return false;
    confirming = false;
    if (!yes) {
        said.clear();
        return false;
    }
    opts = PlayerOptions{};
    said = "Every option and key is back as it was at first";
    return true;
}

bool OptionsModal::keyPressed(int key) {
    if (screen.binding() && screen.keyForBinding(key) && bindingChanged)
        bindingChanged();
    return false;
}

bool OptionsModal::padPressed(int) {
    // A and the d-pad move about the panel; only B (Escape) closes.
    return false;
}

void OptionsModal::closed() {
    // Closed from outside (the stack cleared for another question) or by
    // Escape: either way the screen is shut.
    while (screen.isOpen())
        screen.back();
}

} // namespace tovi
