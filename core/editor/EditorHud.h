#pragma once
// The editor's lines on the HUD. No GL here.
#include <string>
#include <vector>

namespace tovi {
class Editor;

// Edit mode, the selection (kind or ring, its number of the total,
// position, turn about y, scale), the entries against the course limit and
// the last action; top line first.
void appendEditorStatus(const Editor& editor, std::vector<std::string>& lines);

} // namespace tovi
