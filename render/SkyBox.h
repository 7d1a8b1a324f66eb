#pragma once
#include "render/GL.h"

namespace tovi {

// The cube-map sky: six pictures on a cube of +-50 around the camera. The
// caller makes the sky program current, sets "view" (without translation) and
// "projection" and switches depth writes off before drawSkyBox.
class SkyBox {
  public:
    SkyBox();
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Draws the 36 vertices with the cube map on the active texture unit and
    // switches depth writes back on.
    void drawSkyBox();

    // Face i goes to GL_TEXTURE_CUBE_MAP_POSITIVE_X + i.
    static constexpr const char* kFaces[6] = {"Kobuldo/Textures/right.png", "Kobuldo/Textures/left.png",
                                              "Kobuldo/Textures/top.png",   "Kobuldo/Textures/bottom.png",
                                              "Kobuldo/Textures/front.png", "Kobuldo/Textures/back.png"};

    GLuint cubeMap = 0;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
};

} // namespace tovi
