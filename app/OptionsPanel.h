#pragma once
// The options screen drawn with ImGui: display, sound, controls and key
// bindings, and the reset with its question. Keyboard (arrows, Enter,
// Escape), mouse and pad drive it; what changed is reported for the caller
// to apply and keep.
#include <array>
#include <string>
#include <vector>

namespace tovi {
class OptionsScreen;

// What the options show and change besides the player options themselves.
struct OptionsView {
    int volume = 0; // 0 to 10
    bool muted = false;
    // The window's size now (listed when it is none of the usual sizes) and
    // the monitor's, which no offered size exceeds.
    int windowWidth = 0;
    int windowHeight = 0;
    int monitorWidth = 0;
    int monitorHeight = 0;
    bool padHints = false;
    // Left or Right (keys, d-pad or stick) this frame: -1, 0 or 1; it steps
    // the value of the item under the highlight.
    int step = 0;
    bool justOpened = false; // the first frame since it opened
};

struct OptionsChanges {
    bool display = false; // full screen, window size, sync or frame cap
    bool sound = false;
    bool controls = false; // mouse, pad or keys
    bool any() const { return display || sound || controls; }
};

OptionsChanges drawOptionsPanel(OptionsScreen& screen, OptionsView& view);

// The sizes the window-size list offers: the usual ones that fit the
// monitor, and the current one.
std::vector<std::array<int, 2>> offeredWindowSizes(const OptionsView& view);

} // namespace tovi
