#pragma once
// The questions and fields of the modal stack, drawn with the game's text
// over a dark panel in the middle of the window, over whatever the frame
// drew.
#include <string>
#include <vector>

namespace tovi {
class TextRenderer;

// Draws lines (top first) into the window's framebuffer of width x height
// pixels; nothing when lines is empty.
void drawModalLines(TextRenderer& text, const std::vector<std::string>& lines, int width, int height);

} // namespace tovi
