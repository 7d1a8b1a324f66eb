#pragma once
// The key panels drawn with ImGui: the F1 help (race or editor keys) in the
// middle of the window and the start screen's panel at its lower right.
#include "core/player/KeyHelp.h"

#include <vector>

namespace tovi {

enum class PanelPlace { Centre, LowerRight };

void drawKeyPanel(const char* id, const char* title, const std::vector<KeyRow>& rows, PanelPlace place);

} // namespace tovi
