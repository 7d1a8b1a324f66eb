// Number formats of the HUD lines and the glyph quads of the bitmap font.
#include "core/view/HudText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tovi {

namespace {

// Size of one glyph cell of the 16 x 16 font picture, in texture units.
constexpr float kCell = 0.0625f;

std::string twoDigits(std::int64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    std::string text(buffer);
    return text.size() == 1 ? "0" + text : text;
}

// A time is never negative; nan (and anything below zero) reads as zero,
// and very large values are held where whole milliseconds are still exact.
std::int64_t wholeMilliseconds(double milliseconds) {
    constexpr double kLargest = 9.0e15;
    double ms = milliseconds;
    if (!(ms >= 0.0))
        ms = 0.0;
    if (ms > kLargest)
        ms = kLargest;
    return static_cast<std::int64_t>(ms);
}

} // namespace

std::string formatTime(double milliseconds) {
    const std::int64_t whole = wholeMilliseconds(milliseconds);
    const std::int64_t minutes = whole / 60000 % 60;
    const std::int64_t seconds = whole / 1000 % 60;
    // The last two digits of the whole milliseconds, not hundredths.
    const std::int64_t last = whole % 100;
    return twoDigits(minutes) + ":" + twoDigits(seconds) + ":" + twoDigits(last);
}

std::string ringCountLine(std::size_t passed, std::size_t total) {
    return std::to_string(passed) + "/" + std::to_string(total);
}

std::string frameRateLine(double deltaTime) {
    char buffer[512]; // "%f" of the largest double needs about 320 characters
    std::snprintf(buffer, sizeof buffer, "%f", 1.0 / deltaTime);
    return buffer;
}

std::string culledLine(int culled) {
    return "geklippt: " + std::to_string(culled);
}

std::string formatHundredths(double milliseconds) {
    const std::int64_t whole = wholeMilliseconds(milliseconds);
    return twoDigits(whole / 60000 % 60) + ":" + twoDigits(whole / 1000 % 60) + "." +
           twoDigits(whole / 10 % 100);
}

std::string splitDifference(double milliseconds) {
    return (milliseconds < 0.0 ? "-" : "+") + formatHundredths(std::fabs(milliseconds));
}

glm::vec2 glyphCell(char c) {
    // Character codes are signed: codes above 127 give negative cells, which
    // the repeating font texture wraps to another glyph.
    const int code = static_cast<signed char>(c);
    return {static_cast<float>(code % 16) * kCell, static_cast<float>(code / 16) * kCell};
}

void buildTextQuads(const std::string& text, float x, float y, float size, std::vector<glm::vec2>& positions,
                    std::vector<glm::vec2>& uvs) {
    positions.reserve(positions.size() + text.size() * 6);
    uvs.reserve(uvs.size() + text.size() * 6);
    const float bottom = y;
    const float top = bottom + size;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A space draws nothing; its cell would only pick up its
        // neighbours' edges once the font is scaled down.
        if (text[i] == ' ')
            continue;
        const float left = x + size * static_cast<float>(i);
        const float right = left + size;
        positions.insert(
            positions.end(),
            {{left, top}, {left, bottom}, {right, top}, {right, bottom}, {right, top}, {left, bottom}});
        const glm::vec2 cell = glyphCell(text[i]);
        const float u = cell.x, v = cell.y;
        uvs.insert(
            uvs.end(),
            {{u, v}, {u, v + kCell}, {u + kCell, v}, {u + kCell, v + kCell}, {u + kCell, v}, {u, v + kCell}});
    }
}

} // namespace tovi
