#include "render/SkyBox.h"

#include "render/Texture.h"

#include <vector>

namespace tovi {

namespace {

// Twelve triangles, each wound counter-clockwise as seen from inside.
const GLfloat kCube[108] = {
    -50, 50,  -50, -50, -50, -50, 50,  -50, -50, //
    50,  -50, -50, 50,  50,  -50, -50, 50,  -50, //
    -50, -50, 50,  -50, -50, -50, -50, 50,  -50, //
    -50, 50,  -50, -50, 50,  50,  -50, -50, 50,  //
    50,  -50, -50, 50,  -50, 50,  50,  50,  50,  //
    50,  50,  50,  50,  50,  -50, 50,  -50, -50, //
    -50, -50, 50,  -50, 50,  50,  50,  50,  50,  //
    50,  50,  50,  50,  -50, 50,  -50, -50, 50,  //
    -50, 50,  -50, 50,  50,  -50, 50,  50,  50,  //
    50,  50,  50,  -50, 50,  50,  -50, 50,  -50, //
    -50, -50, -50, -50, -50, 50,  50,  -50, -50, //
    50,  -50, -50, -50, -50, 50,  50,  -50, 50,  //
};

} // namespace

SkyBox::SkyBox() {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kCube), kCube, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);

    glGenTextures(1, &cubeMap);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // A missing picture leaves its face 0 x 0 (the sky samples black).
    for (int i = 0; i < 6; ++i)
        uploadImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), kFaces[i]);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

SkyBox::~SkyBox() {
    glDeleteTextures(1, &cubeMap);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &vertexBuffer);
}

void SkyBox::drawSkyBox() {
    glBindVertexArray(vertexArray);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glDrawArrays(GL_TRIANGLES, 0, 36);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
}

} // namespace tovi
