#pragma once
// The player's display and control choices as the settings file keeps them.
// The sound's volume and mute stay with the sound mixer, which reads and
// writes its own lines of the same file.
#include "core/player/KeyBindings.h"

#include <array>
#include <iosfwd>

namespace tovi {
class Settings;

struct PlayerOptions {
    // The frame-rate caps offered; 0 is none.
    static constexpr std::array<int, 5> kFrameCaps{0, 30, 60, 120, 144};
    // Window sizes the options offer besides the current one.
    static constexpr std::array<std::array<int, 2>, 6> kWindowSizes{
        {{800, 600}, {1000, 780}, {1024, 768}, {1280, 800}, {1600, 900}, {1920, 1080}}};
    static constexpr int kMinWindowSide = 320;
    static constexpr int kMaxWindowSide = 16384;
    static constexpr int kMaxMouseSpeed = 10;
    static constexpr int kMaxDeadZone = 50; // per cent of the stick's travel

    bool fullScreen = false;
    int windowWidth = 1000;
    int windowHeight = 780;
    bool vsync = true;
    int frameCap = 0;
    int mouseSpeed = 5; // 1 to kMaxMouseSpeed
    bool invertY = false;
    int deadZone = 20; // 0 to kMaxDeadZone
    KeyBindings keys;

    // Reads every line it knows; a value out of range or not a number is
    // skipped with a line on log naming it, and its default kept.
    void load(const Settings& settings, std::ostream& log);
    void store(Settings& settings) const;

    // The camera's turn per pixel of mouse travel (5 is the game's old pace).
    float mouseTurn() const;
    float stickDeadZone() const { return static_cast<float>(deadZone) / 100.0f; }
};

} // namespace tovi
