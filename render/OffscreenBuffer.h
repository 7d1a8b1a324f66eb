#pragma once
#include "render/GL.h"

namespace tovi {
class ShaderProgram;

// The scene's off-screen target with two colour outputs (picture and glow),
// the ping-pong targets of the glow blur, and the full-screen quad that the
// blur and the composition draw.
class OffscreenBuffer {
  public:
    // The scene's textures are width x height (the framebuffer's size), the
    // blur's half of that each way: the glow is soft anyway. An incomplete
    // scene framebuffer ends the program.
    OffscreenBuffer(int width, int height);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // New storage for every texture and buffer (width x height, the blur's
    // half that), cleared; nothing happens for the same size or a side of 0
    // or less.
    void resize(int width, int height);

    // Three separable Gauss passes over the glow output (horizontal,
    // vertical, horizontal); the result lies in pingpongTexture(1).
    void blurPass(const ShaderProgram& gauss);
    // Scene colour and blurred glow onto the default framebuffer.
    void composePass(const ShaderProgram& compose);

    GLuint sceneFramebuffer() const { return sceneFramebufferId; }
    GLuint sceneColorTexture() const { return sceneColorTextureId; }
    GLuint glowTexture() const { return glowTextureId; }
    GLuint pingpongTexture(int index) const { return pingpongTextures[index & 1]; }
    int blurTargetWidth() const { return blurWidth; }
    int blurTargetHeight() const { return blurHeight; }
    // Direction of the next blur pass; after a whole blur it says which
    // ping-pong texture holds the result (false: texture 1).
    bool horizontal = false;

  private:
    // Storage for every target at width x height (the blur's half that).
    void makeStorage(int width, int height);
    // Every target to zero.
    void clearTargets();
    void drawQuad();
    void beginFullScreenPass();
    void endFullScreenPass();

    int width = 0;
    int height = 0;
    int blurWidth = 0;
    int blurHeight = 0;
    GLuint sceneFramebufferId = 0;
    GLuint sceneColorTextureId = 0;
    GLuint glowTextureId = 0;
    GLuint sceneDepthRenderbuffer = 0;
    GLuint quadVertexArray = 0;
    GLuint quadBuffer = 0;
    GLuint pingpongFramebuffers[2] = {0, 0};
    GLuint pingpongTextures[2] = {0, 0};
    bool blendWasOn = false;
};

} // namespace tovi
