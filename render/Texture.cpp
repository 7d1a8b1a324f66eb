#include "render/Texture.h"

#include "render/DecodedPicture.h"

#include <algorithm>
#include <memory>

namespace tovi {

TextureRegistry textureRegistry;

namespace {

GLint magnificationFilter(bool nearest) {
    return nearest ? GL_NEAREST : GL_LINEAR;
}
GLint minificationFilter(bool nearest) {
    return nearest ? GL_NEAREST : GL_LINEAR_MIPMAP_LINEAR;
}

// Sets one parameter on every listed texture, through unit 5 so the
// textures bound for drawing stay bound.
void setOnAll(const std::vector<GLuint>& textures, GLenum parameter, GLint value) {
    glActiveTexture(GL_TEXTURE5);
    for (GLuint texture : textures) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, parameter, value);
    }
    glActiveTexture(GL_TEXTURE0);
}

} // namespace

void TextureRegistry::setNearestMagnification(bool nearest) {
    nearestMag = nearest;
    setOnAll(live, GL_TEXTURE_MAG_FILTER, magnificationFilter(nearest));
}

void TextureRegistry::setNearestMinification(bool nearest) {
    nearestMin = nearest;
    setOnAll(live, GL_TEXTURE_MIN_FILTER, minificationFilter(nearest));
}

void TextureRegistry::add(GLuint texture) {
    live.push_back(texture);
}

void TextureRegistry::remove(GLuint texture) {
    live.erase(std::remove(live.begin(), live.end(), texture), live.end());
}

namespace {

void upload(GLenum target, GLint level, int width, int height, GLenum format, std::size_t pitch, int channels,
            const unsigned char* bytes) {
    const std::size_t tight = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, pitch == tight ? 1 : 4);
    glTexImage2D(target, level, GL_RGBA, width, height, 0, format, GL_UNSIGNED_BYTE, bytes);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// The next smaller mipmap level (each side halved, at least 1): every texel
// the rounded mean of the 2 x 2 texels (fewer at an odd edge) it covers.
template <int Channels>
void halveRows(const unsigned char* source, std::size_t sourcePitch, int width, int height,
               unsigned char* out, int outWidth, int outHeight) {
    const std::size_t outPitch = static_cast<std::size_t>(outWidth) * Channels;
    const std::size_t down = height > 1 ? sourcePitch : 0;
    const std::size_t right = width > 1 ? Channels : 0;
    const std::size_t step = width > 1 ? 2 * Channels : 0;
    for (int y = 0; y < outHeight; ++y) {
        const unsigned char* row0 = source + static_cast<std::size_t>(height > 1 ? 2 * y : 0) * sourcePitch;
        const unsigned char* row1 = row0 + down;
        unsigned char* target = out + outPitch * static_cast<std::size_t>(y);
        for (int x = 0; x < outWidth; ++x) {
            const std::size_t at = static_cast<std::size_t>(x) * step;
            for (int c = 0; c < Channels; ++c) {
                const unsigned sum =
                    row0[at + c] + row0[at + right + c] + row1[at + c] + row1[at + right + c];
                target[static_cast<std::size_t>(x) * Channels + c] =
                    static_cast<unsigned char>((sum + 2) >> 2);
            }
        }
    }
}

void halve(const unsigned char* source, std::size_t sourcePitch, int width, int height, int channels,
           std::vector<unsigned char>& out, int& outWidth, int& outHeight) {
    outWidth = width > 1 ? width / 2 : 1;
    outHeight = height > 1 ? height / 2 : 1;
    out.resize(static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(outHeight) *
               static_cast<std::size_t>(channels));
    if (channels == 4)
        halveRows<4>(source, sourcePitch, width, height, out.data(), outWidth, outHeight);
    else
        halveRows<3>(source, sourcePitch, width, height, out.data(), outWidth, outHeight);
}

} // namespace

bool uploadImage(GLenum target, const std::string& path) {
    DecodedPicture picture;
    if (!decodePicture(path, picture)) {
        glTexImage2D(target, 0, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        return false;
    }
    upload(target, 0, picture.width, picture.height, picture.format, picture.pitch, picture.channels,
           picture.bytes);
    return true;
}

Texture::Texture(std::string path) {
    glGenTextures(1, &textureId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureId);
    textureRegistry.add(textureId);

    DecodedPicture picture;
    if (!decodePicture(path, picture)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    } else {
        // Saying up front how many levels follow lets the driver allocate the
        // whole chain once; otherwise it stores level 0 alone, then moves it
        // into a new chain and keeps the old block (about 0.9 MB more per
        // 512 x 512 texture). The last level is the 1 x 1 one either way.
        GLint lastLevel = 0;
        for (int size = std::max(picture.width, picture.height); size > 1; size /= 2)
            ++lastLevel;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, lastLevel);
        upload(GL_TEXTURE_2D, 0, picture.width, picture.height, picture.format, picture.pitch,
               picture.channels, picture.bytes);
        // The mipmap chain, made here rather than by glGenerateMipmap: the
        // same 2 x 2 means, without the GL driver compiling its mipmap
        // program on the game's first texture (a tenth of a second of
        // start-up on the software renderer).
        std::vector<unsigned char> levels[2];
        const unsigned char* source = picture.bytes;
        std::size_t pitch = picture.pitch;
        int width = picture.width, height = picture.height;
        for (GLint level = 1; width > 1 || height > 1; ++level) {
            std::vector<unsigned char>& next = levels[level % 2];
            int nextWidth = 0, nextHeight = 0;
            halve(source, pitch, width, height, picture.channels, next, nextWidth, nextHeight);
            width = nextWidth;
            height = nextHeight;
            pitch = static_cast<std::size_t>(width) * static_cast<std::size_t>(picture.channels);
            source = next.data();
            upload(GL_TEXTURE_2D, level, width, height, picture.format, pitch, picture.channels, source);
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    minificationFilter(textureRegistry.nearestMinification()));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    magnificationFilter(textureRegistry.nearestMagnification()));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
}

Texture::~Texture() {
    textureRegistry.remove(textureId);
    glDeleteTextures(1, &textureId);
}

} // namespace tovi
