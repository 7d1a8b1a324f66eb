#include "render/OffscreenBuffer.h"

#include "core/system/Pause.h"
#include "render/ShaderProgram.h"

#include <algorithm>
#include <iostream>

namespace tovi {

namespace {

// Two triangles covering clip space, counter-clockwise.
const GLfloat kQuadVertices[18] = {
    -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
    -1.0f, 1.0f,  0.0f, 1.0f, -1.0f, 0.0f, 1.0f,  1.0f, 0.0f,
};

void makeColorTexture(GLuint texture, int width, int height, GLint filter = GL_NEAREST) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void makeDepthStorage(GLuint renderbuffer, int width, int height) {
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
}

const GLfloat kZero[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// Both colour outputs of the bound framebuffer to zero.
void clearOutputs() {
    const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, outputs);
    glClearBufferfv(GL_COLOR, 0, kZero);
    glClearBufferfv(GL_COLOR, 1, kZero);
}

} // namespace

OffscreenBuffer::OffscreenBuffer(int w, int h) {
    glGenTextures(1, &sceneColorTextureId);
    glGenTextures(1, &glowTextureId);
    glGenTextures(2, pingpongTextures);
    glGenRenderbuffers(1, &sceneDepthRenderbuffer);
    makeStorage(w, h);

    glGenFramebuffers(1, &sceneFramebufferId);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebufferId);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneColorTextureId, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, glowTextureId, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneDepthRenderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "The off-screen buffer is incomplete" << std::endl;
        pauseAndExit(-1);
    }
    glGenFramebuffers(2, pingpongFramebuffers);
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFramebuffers[i]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pingpongTextures[i], 0);
    }
    // Start from a black picture and no glow, so nothing undefined is ever
    // composed.
    clearTargets();

    glGenVertexArrays(1, &quadVertexArray);
    glBindVertexArray(quadVertexArray);
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadVertices), kQuadVertices, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

OffscreenBuffer::~OffscreenBuffer() {
    glDeleteFramebuffers(1, &sceneFramebufferId);
    glDeleteFramebuffers(2, pingpongFramebuffers);
    glDeleteTextures(1, &sceneColorTextureId);
    glDeleteTextures(1, &glowTextureId);
    glDeleteTextures(2, pingpongTextures);
    glDeleteRenderbuffers(1, &sceneDepthRenderbuffer);
    glDeleteBuffers(1, &quadBuffer);
    glDeleteVertexArrays(1, &quadVertexArray);
}

void OffscreenBuffer::resize(int w, int h) {
    if (w <= 0 || h <= 0 || (w == width && h == height))
        return;
    // New storage for every target; the framebuffers keep their attachments.
    makeStorage(w, h);
    clearTargets();
}

void OffscreenBuffer::makeStorage(int w, int h) {
    width = w;
    height = h;
    blurWidth = std::max(1, w / 2);
    blurHeight = std::max(1, h / 2);
    makeColorTexture(sceneColorTextureId, width, height);
    makeColorTexture(glowTextureId, width, height, GL_LINEAR);
    for (GLuint texture : pingpongTextures)
        makeColorTexture(texture, blurWidth, blurHeight, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    makeDepthStorage(sceneDepthRenderbuffer, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void OffscreenBuffer::clearTargets() {
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebufferId);
    clearOutputs();
    for (GLuint framebuffer : pingpongFramebuffers) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glClearBufferfv(GL_COLOR, 0, kZero);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void OffscreenBuffer::drawQuad() {
    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDisableVertexAttribArray(0);
}

// The full-screen passes write every pixel of their target once: no depth
// test, no blending and nothing to clear first. Afterwards the depth test is
// on (the game keeps it on everywhere else) and blending as it was.
void OffscreenBuffer::beginFullScreenPass() {
    blendWasOn = glIsEnabled(GL_BLEND) == GL_TRUE;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glBindVertexArray(quadVertexArray);
}

void OffscreenBuffer::endFullScreenPass() {
    glBindVertexArray(0);
    glEnable(GL_DEPTH_TEST);
    if (blendWasOn)
        glEnable(GL_BLEND);
}

void OffscreenBuffer::blurPass(const ShaderProgram& gauss) {
    beginFullScreenPass();
    horizontal = true;
    bool firstPass = true;
    glUseProgram(gauss.programId);
    glUniform1i(glGetUniformLocation(gauss.programId, "image"), 0);
    const GLint horizontalLocation = glGetUniformLocation(gauss.programId, "horizontal");
    glUniform2f(glGetUniformLocation(gauss.programId, "tapStep"), 2.0f / static_cast<float>(width),
                2.0f / static_cast<float>(height));
    glActiveTexture(GL_TEXTURE0);
    for (int pass = 0; pass < 3; ++pass) {
        const int target = horizontal ? 1 : 0;
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFramebuffers[target]);
        glViewport(0, 0, blurWidth, blurHeight);
        glBindTexture(GL_TEXTURE_2D, firstPass ? glowTextureId : pingpongTextures[1 - target]);
        glUniform1i(horizontalLocation, target);
        drawQuad();
        horizontal = !horizontal;
        firstPass = false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    endFullScreenPass();
}

void OffscreenBuffer::composePass(const ShaderProgram& compose) {
    beginFullScreenPass();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);

    glUseProgram(compose.programId);
    const GLint renderedLocation = glGetUniformLocation(compose.programId, "renderedTexture");
    const GLint gaussianLocation = glGetUniformLocation(compose.programId, "gaussianTexture");
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneColorTextureId);
    glUniform1i(renderedLocation, 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, pingpongTextures[horizontal ? 0 : 1]);
    glUniform1i(gaussianLocation, 1);
    glActiveTexture(GL_TEXTURE0);

    drawQuad();
    endFullScreenPass();
}

} // namespace tovi
