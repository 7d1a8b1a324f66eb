#pragma once
// The editor's lines on the HUD and the key help panels (F1). No GL here.
#include <string>
#include <vector>

namespace tovi {
class Editor;

// Edit mode, the selection (kind or ring, its number of the total,
// position, turn about y, scale), the entries against the course limit and
// the last action; top line first.
void appendEditorStatus(const Editor& editor, std::vector<std::string>& lines);

const std::vector<std::string>& editorHelp();
const std::vector<std::string>& raceHelp();

} // namespace tovi
