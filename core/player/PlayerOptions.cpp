#include "core/player/PlayerOptions.h"

#include "core/player/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <string>

namespace tovi {

namespace {

// The whole number on the line name, within [min, max]; fallback when the
// line is missing, and fallback with a message when its value is bad.
int readInt(const Settings& settings, const char* name, int fallback, int min, int max, std::ostream& log) {
    const std::string text = settings.get(name, "");
    if (text.empty())
        return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < min || value > max) {
        log << "Settings: " << name << " \"" << text << "\" is not a whole number from " << min << " to "
            << max << ": using " << fallback << std::endl;
        return fallback;
    }
    return static_cast<int>(value);
}

bool readFlag(const Settings& settings, const char* name, bool fallback, std::ostream& log) {
    return readInt(settings, name, fallback ? 1 : 0, 0, 1, log) == 1;
}

} // namespace

void PlayerOptions::load(const Settings& settings, std::ostream& log) {
    const PlayerOptions defaults;
    fullScreen = readFlag(settings, "full_screen", defaults.fullScreen, log);
    windowWidth =
        readInt(settings, "window_width", defaults.windowWidth, kMinWindowSide, kMaxWindowSide, log);
    windowHeight =
        readInt(settings, "window_height", defaults.windowHeight, kMinWindowSide, kMaxWindowSide, log);
    vsync = readFlag(settings, "vsync", defaults.vsync, log);
    frameCap = readInt(settings, "frame_cap", defaults.frameCap, 0, kFrameCaps.back(), log);
    if (std::find(kFrameCaps.begin(), kFrameCaps.end(), frameCap) == kFrameCaps.end()) {
        log << "Settings: frame_cap " << frameCap << " is not one of 0, 30, 60, 120, 144: using none"
            << std::endl;
        frameCap = 0;
    }
    mouseSpeed = readInt(settings, "mouse_speed", defaults.mouseSpeed, 1, kMaxMouseSpeed, log);
    invertY = readFlag(settings, "invert_y", defaults.invertY, log);
    deadZone = readInt(settings, "dead_zone", defaults.deadZone, 0, kMaxDeadZone, log);
    keys.load(settings, log);
}

void PlayerOptions::store(Settings& settings) const {
    settings.set("full_screen", fullScreen ? "1" : "0");
    settings.set("window_width", std::to_string(windowWidth));
    settings.set("window_height", std::to_string(windowHeight));
    settings.set("vsync", vsync ? "1" : "0");
    settings.set("frame_cap", std::to_string(frameCap));
    settings.set("mouse_speed", std::to_string(mouseSpeed));
    settings.set("invert_y", invertY ? "1" : "0");
    settings.set("dead_zone", std::to_string(deadZone));
    keys.store(settings);
}

float PlayerOptions::mouseTurn() const {
    return 0.0002f * static_cast<float>(mouseSpeed);
}

} // namespace tovi
