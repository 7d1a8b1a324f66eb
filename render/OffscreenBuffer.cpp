#include "render/OffscreenBuffer.h"

#include "core/Pause.h"
#include "render/ShaderProgram.h"

#include <iostream>

namespace tovi {

namespace {

// Two triangles covering clip space, counter-clockwise.
const GLfloat kQuadVertices[18] = {
    -1.0f, -1.0f, 0.0f, 1.0f, -1.0f, 0.0f, -1.0f, 1.0f, 0.0f,
    -1.0f, 1.0f,  0.0f, 1.0f, -1.0f, 0.0f, 1.0f,  1.0f, 0.0f,
};

void makeColorTexture(GLuint texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
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

OffscreenBuffer::OffscreenBuffer(int w, int h) : width(w), height(h) {
    glGenTextures(1, &sceneColorTextureId);
    makeColorTexture(sceneColorTextureId, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenTextures(1, &glowTextureId);
    makeColorTexture(glowTextureId, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);

    glGenRenderbuffers(1, &sceneDepthRenderbuffer);
    makeDepthStorage(sceneDepthRenderbuffer, width, height);
    glGenVertexArrays(1, &quadVertexArray);
    glBindVertexArray(quadVertexArray);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &sceneFramebufferId);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebufferId);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneColorTextureId, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, glowTextureId, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, sceneDepthRenderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Fehler bei FBO anlegen" << std::endl;
        pauseAndExit(-1);
    }
    // Start from a black picture and no glow, so nothing undefined is ever
    // composed.
    clearOutputs();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);

    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadVertices), kQuadVertices, GL_STATIC_DRAW);
    glBindVertexArray(quadVertexArray);

    glGenFramebuffers(2, pingpongFramebuffers);
    glGenTextures(2, pingpongTextures);
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFramebuffers[i]);
        makeColorTexture(pingpongTextures[i], width, height);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pingpongTextures[i], 0);
        glGenRenderbuffers(1, &pingpongDepthRenderbuffers[i]);
        makeDepthStorage(pingpongDepthRenderbuffers[i], width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  pingpongDepthRenderbuffers[i]);
        glClearBufferfv(GL_COLOR, 0, kZero);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
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
    glDeleteRenderbuffers(2, pingpongDepthRenderbuffers);
    glDeleteBuffers(1, &quadBuffer);
    glDeleteVertexArrays(1, &quadVertexArray);
}

void OffscreenBuffer::resize(int w, int h) {
    if (w <= 0 || h <= 0 || (w == width && h == height))
        return;
    width = w;
    height = h;
    // New storage for every target; the framebuffers keep their attachments.
    const GLuint colours[4] = {sceneColorTextureId, glowTextureId, pingpongTextures[0], pingpongTextures[1]};
    for (GLuint texture : colours)
        makeColorTexture(texture, width, height);
    glBindTexture(GL_TEXTURE_2D, 0);
    makeDepthStorage(sceneDepthRenderbuffer, width, height);
    for (GLuint renderbuffer : pingpongDepthRenderbuffers)
        makeDepthStorage(renderbuffer, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

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

void OffscreenBuffer::blurPass(const ShaderProgram& gauss) {
    glBindVertexArray(quadVertexArray);
    horizontal = true;
    bool firstPass = true;
    glUseProgram(gauss.programId);
    for (int pass = 0; pass < 3; ++pass) {
        const int target = horizontal ? 1 : 0;
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFramebuffers[target]);
        glViewport(0, 0, width, height);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, firstPass ? glowTextureId : pingpongTextures[1 - target]);
        glUniform1i(glGetUniformLocation(gauss.programId, "image"), 0);
        glUniform1i(glGetUniformLocation(gauss.programId, "horizontal"), target);

        drawQuad();
        horizontal = !horizontal;
        firstPass = false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
}

void OffscreenBuffer::composePass(const ShaderProgram& compose) {
    glBindVertexArray(quadVertexArray);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

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
    glBindVertexArray(0);
}

} // namespace tovi
