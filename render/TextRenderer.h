#pragma once
#include "core/view/ScreenLayout.h"
#include "render/GL.h"

#include <glm/glm.hpp>

#include <vector>

namespace tovi {
class ShaderProgram;
class Texture;

// Bitmap-font text: one textured quad per character, all drawn in one call.
class TextRenderer {
  public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    static constexpr const char* kFontPicture = "Kobuldo/Textures/MyFont.bmp";

    // Draws the line with its bottom edge at y (text space: x from 10, every
    // glyph 20 x 20) into the bound framebuffer. Blending is on only around
    // the draw itself and off afterwards. A null text draws nothing.
    void printText(const char* text, int y);
    // The same from x with glyphs of the given size (text-space units),
    // tinted by colour; a centred line stays on the middle of a wider window.
    void printText(const char* text, float x, float y, float size, const glm::vec3& colour = glm::vec3(1.0f),
                   bool centred = false);
    // The framebuffer changed size: the text space keeps the shape of its
    // glyphs and its lines stay near their corners (see textPlacement). Until
    // the first call the text space is stretched over the whole viewport.
    void setScreenSize(int width, int height);

  private:
    GLuint vertexArray = 0;
    ShaderProgram* program = nullptr;
    Texture* font = nullptr;
    GLuint vertexBuffer = 0;
    GLuint uvBuffer = 0;
    GLint samplerLocation = -1;
    GLint tintLocation = -1;
    TextPlacement placement;
    // Kept between calls so drawing a line allocates nothing once warm.
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

} // namespace tovi
