#pragma once
#include "core/MyCollision.h"
#include "render/GL.h"

namespace tovi {
class ShaderProgram;
class Texture;

// The start, win and lose pictures, each drawn over the whole window.
class ScreenPictures : public RacePictures {
  public:
    // width x height is the viewport of the pictures (the window size).
    ScreenPictures(int width, int height);
    ~ScreenPictures() override;
    ScreenPictures(const ScreenPictures&) = delete;
    ScreenPictures& operator=(const ScreenPictures&) = delete;

    void drawStartScreen() override;
    void drawWinScreen() override;
    void drawLoseScreen() override;

  private:
    void drawPicture(const Texture& picture);

    int width;
    int height;
    Texture* startPicture = nullptr;
    Texture* winPicture = nullptr;
    Texture* losePicture = nullptr;
    ShaderProgram* program = nullptr;
    GLuint quadVertexArray = 0;
    GLuint quadBuffer = 0;
};

} // namespace tovi
