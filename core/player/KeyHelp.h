#pragma once
// The rows of the key panels (F1 help in a race and in the editor, and the
// start screen's panel), naming the keys as bound now, or the pad's buttons
// when a pad was the last thing used.
#include <string>
#include <vector>

namespace tovi {
class KeyBindings;

struct KeyRow {
    std::string keys;
    std::string what;
};

void raceHelpRows(const KeyBindings& bindings, bool pad, std::vector<KeyRow>& rows);
void editorHelpRows(const KeyBindings& bindings, std::vector<KeyRow>& rows);
// The few keys a player needs first on the start screen (start, push,
// camera, options, quit), or after a race on the win and lose screens.
void screenPanelRows(const KeyBindings& bindings, bool pad, bool afterRace, std::vector<KeyRow>& rows);

} // namespace tovi
