#pragma once
#include <string>

namespace tovi {

// A short line on the screen (the HUD, and over the full-screen pictures)
// for kSeconds; the longer message goes to standard output where it is told.
struct Notice {
    static constexpr double kSeconds = 6.0;

    void show(const std::string& line, double now) {
        text = line;
        shownAt = now;
    }
    // Clears the line once its time is up.
    void expire(double now) {
        if (!text.empty() && now - shownAt >= kSeconds)
            text.clear();
    }

    // The line shown now, empty when there is none.
    std::string text;
    double shownAt = 0.0;
};

} // namespace tovi
