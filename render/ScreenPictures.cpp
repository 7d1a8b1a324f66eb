#include "render/ScreenPictures.h"

#include "render/ShaderProgram.h"
#include "render/Texture.h"

namespace tovi {

namespace {
// Two counter-clockwise triangles covering clip space.
const GLfloat kQuadVertices[18] = {
    -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
    -1.0f, 1.0f,  0.0f, 1.0f, -1.0f, 0.0f, 1.0f,  1.0f, 0.0f,
};
} // namespace

ScreenPictures::ScreenPictures(int w, int h) : width(w), height(h) {
    glGenVertexArrays(1, &quadVertexArray);
    glBindVertexArray(quadVertexArray);
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadVertices), kQuadVertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    program = new ShaderProgram("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texturePure.frag");

    // The win and lose pictures wait until they are first shown: most of a
    // session never needs both, and each takes about 4 MB.
    startPicture = new Texture("Kobuldo/Textures/Startscreen.png");
}

ScreenPictures::~ScreenPictures() {
    glDeleteBuffers(1, &quadBuffer);
    glDeleteVertexArrays(1, &quadVertexArray);
    delete startPicture;
    delete winPicture;
    delete losePicture;
    delete program;
}

void ScreenPictures::drawStartScreen() {
    drawPicture(*startPicture);
}
void ScreenPictures::drawWinScreen() {
    if (winPicture == nullptr)
        winPicture = new Texture("Kobuldo/Textures/YouWin.png");
    drawPicture(*winPicture);
}
void ScreenPictures::drawLoseScreen() {
    if (losePicture == nullptr)
        losePicture = new Texture("Kobuldo/Textures/YouLose.png");
    drawPicture(*losePicture);
}

void ScreenPictures::drawPicture(const Texture& picture) {
    glBindVertexArray(quadVertexArray);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClear(GL_DEPTH_BUFFER_BIT);

    glUseProgram(program->programId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, picture.textureId);
    glUniform1i(glGetUniformLocation(program->programId, "renderedTexture"), 0);

    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
}

} // namespace tovi
