#pragma once
// The heads-up display's text, its number formats and the glyph layout of the
// bitmap font. No GL here; the text renderer uploads what these produce.
#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace tovi {

// Every glyph is this wide and high in the 800 x 600 text space; lines start
// this far from the left edge unless placed elsewhere.
constexpr int kHudGlyphSize = 20;
constexpr int kHudLineLeft = 10;

// mm:ss:xx where xx is the last two digits of the whole milliseconds.
std::string formatTime(double milliseconds);
// "3/7"
std::string ringCountLine(std::size_t passed, std::size_t total);
// 1 / deltaTime with six digits after the point.
std::string frameRateLine(double deltaTime);
// "geklippt: " and the count.
std::string culledLine(int culled);
// mm:ss.hh with real hundredths (cut, not rounded): the times the game adds
// to the race clock's (splits, the course lines). 1090 ms is "00:01.09".
std::string formatHundredths(double milliseconds);
// A split's difference to the best run as a signed time: "-" ahead (below
// zero), "+" otherwise, then formatHundredths of its size: "+00:01.09".
std::string splitDifference(double milliseconds);

// Lower-left texture coordinate of the glyph cell of character c.
glm::vec2 glyphCell(char c);

// Six positions and six uvs per character but spaces, the line's bottom
// edge at y and its left edge at x, glyphs of the given size (text-space
// units).
void buildTextQuads(const std::string& text, float x, float y, float size, std::vector<glm::vec2>& positions,
                    std::vector<glm::vec2>& uvs);

// The small print of the HUD: the editor's lines and the key help.
constexpr float kSmallGlyph = 10.0f;
constexpr float kSmallLineStep = 12.0f;

} // namespace tovi
