#include "app/ModalView.h"

#include "core/view/ScreenLayout.h"
#include "render/GL.h"
#include "render/TextRenderer.h"

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {
// In the 800 x 600 text space: all lines in its lower half, so they keep
// their place together on any window shape.
constexpr float kGlyph = 16.0f;
constexpr int kFirstLineY = 290;
constexpr int kLineStep = 28;
constexpr float kMargin = 16.0f;
} // namespace

void drawModalLines(TextRenderer& text, const std::vector<std::string>& lines, int width, int height) {
    if (lines.empty() || width <= 0 || height <= 0)
        return;
    std::size_t longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, line.size());
    const int lastLineY = kFirstLineY - kLineStep * static_cast<int>(lines.size() - 1);

    // The panel: the text space's rectangle around the lines, in pixels.
    const TextPlacement placement = textPlacement(width, height);
    const glm::vec2 offset = textLineOffset(placement, kFirstLineY, true);
    const float halfWidth = static_cast<float>(longest) * kGlyph * 0.5f + kMargin;
    const float left = offset.x + (400.0f - halfWidth) * placement.scale;
    const float right = offset.x + (400.0f + halfWidth) * placement.scale;
    const float bottom = offset.y + (static_cast<float>(lastLineY) - kMargin) * placement.scale;
    const float top = offset.y + (static_cast<float>(kFirstLineY) + kGlyph + kMargin) * placement.scale;
    const GLint x = std::max(0, static_cast<GLint>(std::floor(left)));
    const GLint y = std::max(0, static_cast<GLint>(std::floor(bottom)));
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, static_cast<GLsizei>(std::ceil(right)) - x, static_cast<GLsizei>(std::ceil(top)) - y);
    glClearColor(0.04f, 0.05f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_SCISSOR_TEST);

    // The first line is the question or the field's title.
    int lineY = kFirstLineY;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float lineX = 400.0f - static_cast<float>(lines[i].size()) * kGlyph * 0.5f;
        const glm::vec3 colour = i == 0 ? glm::vec3(1.0f, 0.85f, 0.4f) : glm::vec3(1.0f);
        text.printText(lines[i].c_str(), lineX, static_cast<float>(lineY), kGlyph, colour, true);
        lineY -= kLineStep;
    }
}

} // namespace tovi
