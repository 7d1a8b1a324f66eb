#include "render/ScreenPictures.h"

#include "core/view/ScreenLayout.h"
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
    load(startPicture, kStartPicture);
}

ScreenPictures::~ScreenPictures() {
    glDeleteBuffers(1, &quadBuffer);
    glDeleteVertexArrays(1, &quadVertexArray);
    delete startPicture.texture;
    delete winPicture.texture;
    delete losePicture.texture;
    delete program;
}

void ScreenPictures::load(Picture& picture, const char* path) {
    picture.texture = new Texture(path);
    // The new texture is bound on unit 0.
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &picture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &picture.height);
}

void ScreenPictures::setScreenSize(int w, int h) {
    width = w;
    height = h;
}

void ScreenPictures::drawStartScreen() {
    drawPicture(startPicture);
}
void ScreenPictures::drawWinScreen() {
    if (winPicture.texture == nullptr)
        load(winPicture, "Kobuldo/Textures/YouWin.png");
    drawPicture(winPicture);
}
void ScreenPictures::drawLoseScreen() {
    if (losePicture.texture == nullptr)
        load(losePicture, "Kobuldo/Textures/YouLose.png");
    drawPicture(losePicture);
}

void ScreenPictures::drawPicture(const Picture& picture) {
    glBindVertexArray(quadVertexArray);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_DEPTH_BUFFER_BIT);
    // A picture that did not load still covers the window (in black).
    ScreenRect rect = fitPicture(picture.width, picture.height, width, height);
    if (rect.width <= 0 || rect.height <= 0)
        rect = ScreenRect{0, 0, width, height};
    glViewport(rect.x, rect.y, rect.width, rect.height);

    glUseProgram(program->programId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, picture.texture->textureId);
    glUniform1i(glGetUniformLocation(program->programId, "renderedTexture"), 0);

    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDisableVertexAttribArray(0);
    glBindVertexArray(0);
    // The course's lines and the notice go over the whole window.
    glViewport(0, 0, width, height);
}

} // namespace tovi
