#include "core/player/KeyHelp.h"

#include "core/input/KeyNames.h"
#include "core/player/KeyBindings.h"

namespace tovi {

namespace {

std::string keyOf(const KeyBindings& bindings, Action action) {
    return keyLabel(bindings.key(action));
}

std::string pair(const KeyBindings& bindings, Action a, Action b) {
    return keyOf(bindings, a) + " / " + keyOf(bindings, b);
}

} // namespace

void raceHelpRows(const KeyBindings& k, bool pad, std::vector<KeyRow>& rows) {
    rows.clear();
    if (pad) {
        rows = {{"left stick", "push the ball"},
                {"right stick", "swing the camera"},
                {"A or Start", "start a race (on a screen)"},
                {"Start", "pause / go on"},
                {"Back", "restart the race"},
                {"pad left / right", "choose the course (on a screen)"},
                {"Y", "options (on a screen or paused)"}};
        return;
    }
    rows = {{pair(k, Action::Forward, Action::Back), "push along / against the motion"},
            {pair(k, Action::Left, Action::Right), "push to the left / right"},
            {"mouse", "swing the camera"},
            {keyOf(k, Action::Start), "start a race"},
            {keyOf(k, Action::Restart), "restart the race"},
            {keyOf(k, Action::Pause), "pause / go on"},
            {keyOf(k, Action::Ghost), "ghost of the best run on / off"},
            {pair(k, Action::Previous, Action::Next), "choose the course (on a screen)"},
            {"Insert / Delete", "new / delete course (on a screen)"},
            {"O", "options (on a screen or paused)"},
            {"M", "sound on / off"},
            {"- / +", "volume down / up"},
            {keyOf(k, Action::Editor), "level editor on / off"},
            {keyOf(k, Action::Check), "check the course"},
            {"F2 / F3", "frame rate figures / wireframe"},
            {"F4 / F5", "texture filters"},
            {"F8 / F9", "frustum culling / particle blending"},
            {"F11", "full screen"},
            {keyOf(k, Action::Help), "hide this help"},
            {"Escape", "quit"}};
}

void editorHelpRows(const KeyBindings& k, std::vector<KeyRow>& rows) {
    rows = {{"mouse", "look around"},
            {"Tab", "free the cursor / look"},
            {"left click", "select (on nothing: none)"},
            {"Left Ctrl + click", "add to / take from the selection"},
            {"left drag", "move over the grid (Left Alt: up / down)"},
            {"right button held", "look around (cursor free)"},
            {"Left Ctrl + C / V", "copy / paste the selection"},
            {"W A S D, arrows", "fly"},
            {"Space / Left Shift", "fly up / down"},
            {"0", "ring at the camera"},
            {"1 2 3 4", "ramp, straight, left, right curve"},
            {"Left Alt + 1 2 3 4", "the same, joined to the selected piece"},
            {"U / I", "next piece / next ring"},
            {"T + keypad 4 6 8 5 9 7", "move x+ x- z+ z- y+ y-"},
            {"R + keypad 4 6 8 5 9 7", "turn about own y, x, z"},
            {"Z + keypad ... 1 2", "scale own axes, all"},
            {"keypad 0 (held)", "ten times the step"},
            {"G", "snap to the course grid"},
            {"Delete", "delete the selection"},
            {"Left Ctrl + Z / Y", "undo / redo"},
            {"Left Ctrl + S", "save the course"},
            {"L", "name the course"},
            {keyOf(k, Action::Check), "check the course"},
            {"F7", "test from the selected piece"},
            {keyOf(k, Action::Editor), "back to the race"},
            {keyOf(k, Action::Help), "hide this help"},
            {"", "The editor's keys are fixed."}};
}

void screenPanelRows(const KeyBindings& k, bool pad, bool afterRace, std::vector<KeyRow>& rows) {
    if (afterRace) {
        rows = {{pad ? "A or Start" : keyOf(k, Action::Start), "race again"},
                {pad ? "pad left / right" : pair(k, Action::Previous, Action::Next), "choose the course"},
                {pad ? "Y" : "O", "options"}};
        if (!pad)
            rows.push_back({"Esc", "quit"});
        return;
    }
    if (pad) {
        rows = {{"A or Start", "start the race"},
                {"pad left / right", "choose the course"},
                {"left stick", "push the ball"},
                {"right stick", "swing the camera"},
                {"Y", "options"}};
        return;
    }
    rows = {{keyOf(k, Action::Start), "start the race"},
            {pair(k, Action::Forward, Action::Back), "push along / brake"},
            {pair(k, Action::Left, Action::Right), "steer left / right"},
            {"mouse", "swing the camera"},
            {keyOf(k, Action::Editor), "level editor on / off"},
            {"Insert", "new course"},
            {"Delete", "delete / reset course"},
            {"O", "options"},
            {"Esc", "quit"}};
}

} // namespace tovi
