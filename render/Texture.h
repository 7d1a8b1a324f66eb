#pragma once
#include "render/DecodedPicture.h"
#include "render/GL.h"

#include <string>
#include <vector>

namespace tovi {

// Decodes an image file and uploads it as level 0 of `target` (GL_TEXTURE_2D
// or a cube-map face) with internal format GL_RGBA: the same texels as
// loadImage followed by glTexImage2D, but true-colour pictures go to GL as
// decoded, without the RGBA copy. A missing or unreadable file uploads a
// 0 x 0 image. Returns whether there was a picture.
bool uploadImage(GLenum target, const std::string& path);

// The picture textures alive right now, each once, in creation order, and
// the filters the player chose with F4 and F5. A Texture joins when it is made
// (taking the chosen filters) and leaves when it is deleted, so the filter
// keys never touch a deleted texture.
class TextureRegistry {
  public:
    const std::vector<GLuint>& textures() const { return live; }
    bool nearestMagnification() const { return nearestMag; }
    bool nearestMinification() const { return nearestMin; }
    // Sets the filter on every live texture and on those made later:
    // nearest, or linear (magnification) / linear between linear mipmaps
    // (minification).
    void setNearestMagnification(bool nearest);
    void setNearestMinification(bool nearest);

  private:
    friend class Texture;
    void add(GLuint texture);
    void remove(GLuint texture);
    std::vector<GLuint> live;
    bool nearestMag = false;
    bool nearestMin = false;
};

extern TextureRegistry textureRegistry;

// One mipmapped RGBA 2-D texture from an image file, registered while it
// lives. After construction it is bound to GL_TEXTURE_2D on texture unit 0.
class Texture {
  public:
    explicit Texture(std::string path);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    GLuint textureId = 0;
};

} // namespace tovi
