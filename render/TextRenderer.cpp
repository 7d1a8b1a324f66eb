#include "render/TextRenderer.h"

#include "core/view/HudText.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"

#include <algorithm>

namespace tovi {

TextRenderer::TextRenderer() {
    program = new ShaderProgram("Kobuldo/Shader/Text.vert", "Kobuldo/Shader/Text.frag");
    font = new Texture(kFontPicture);
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &uvBuffer);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glBindVertexArray(0);
    samplerLocation = glGetUniformLocation(program->programId, "myTextureSampler");
    tintLocation = glGetUniformLocation(program->programId, "tint");
}

TextRenderer::~TextRenderer() {
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteVertexArrays(1, &vertexArray);
    delete font;
    delete program;
}

void TextRenderer::printText(const char* text, int y) {
    printText(text, static_cast<float>(kHudLineLeft), static_cast<float>(y),
              static_cast<float>(kHudGlyphSize));
}

void TextRenderer::setScreenSize(int width, int height) {
    placement = textPlacement(width, height);
}

void TextRenderer::printText(const char* text, float x, float y, float size, const glm::vec3& colour,
                             bool centred) {
    glBindVertexArray(vertexArray);
    positions.clear();
    uvs.clear();
    if (text != nullptr)
        buildTextQuads(text, x, y, size, positions, uvs);
    placeTextLine(placement, static_cast<int>(y), centred, positions);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(positions.size() * sizeof(glm::vec2)),
                 positions.empty() ? nullptr : positions.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(uvs.size() * sizeof(glm::vec2)),
                 uvs.empty() ? nullptr : uvs.data(), GL_STATIC_DRAW);

    glUseProgram(program->programId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, font->textureId);
    glUniform1i(samplerLocation, 0);
    glUniform3f(tintLocation, colour.r, colour.g, colour.b);

    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(std::min(positions.size(), uvs.size())));
    glDisable(GL_BLEND);

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glBindVertexArray(0);
}

} // namespace tovi
