#pragma once
#include "core/race/MyCollision.h"
#include "render/GL.h"

namespace tovi {
class ShaderProgram;
class Texture;

// The start, win and lose pictures, each as large as the window allows in
// its own shape, centred on black.
class ScreenPictures : public RacePictures {
  public:
    // width x height is the framebuffer the pictures are drawn on.
    ScreenPictures(int width, int height);
    ~ScreenPictures() override;
    ScreenPictures(const ScreenPictures&) = delete;
    ScreenPictures& operator=(const ScreenPictures&) = delete;

    static constexpr const char* kStartPicture = "Kobuldo/Textures/Startscreen.png";

    void drawStartScreen() override;
    void drawWinScreen() override;
    void drawLoseScreen() override;

    // The framebuffer changed size.
    void setScreenSize(int width, int height);

  private:
    // A picture and its size in texels, read once when it is loaded.
    struct Picture {
        Texture* texture = nullptr;
        int width = 0;
        int height = 0;
    };
    static void load(Picture& picture, const char* path);
    void drawPicture(const Picture& picture);

    int width;
    int height;
    Picture startPicture;
    Picture winPicture;
    Picture losePicture;
    ShaderProgram* program = nullptr;
    GLuint quadVertexArray = 0;
    GLuint quadBuffer = 0;
};

} // namespace tovi
