#include "render/Texture.h"

#include "core/PngReader.h"

#include <FreeImage.h>

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

// The picture as FreeImage decodes it, or null. Released by its owner.
FIBITMAP* decode(const std::string& path) {
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return nullptr;
    return FreeImage_Load(format, path.c_str(), 0);
}

struct Unload {
    void operator()(FIBITMAP* image) const { FreeImage_Unload(image); }
};
using Image = std::unique_ptr<FIBITMAP, Unload>;

// GL format of a decoded picture GL can take as it is: 8-bit blue, green,
// red (and alpha) pixels in rows padded to four bytes, bottom row first.
// GL_NONE for anything else (palettes, grey, 16-bit, other layouts).
GLenum directFormat(FIBITMAP* image) {
    if (FreeImage_GetImageType(image) != FIT_BITMAP || FREEIMAGE_COLORORDER != FREEIMAGE_COLORORDER_BGR)
        return GL_NONE;
    if (FreeImage_GetRedMask(image) != FI_RGBA_RED_MASK ||
        FreeImage_GetGreenMask(image) != FI_RGBA_GREEN_MASK ||
        FreeImage_GetBlueMask(image) != FI_RGBA_BLUE_MASK)
        return GL_NONE;
    const unsigned bpp = FreeImage_GetBPP(image);
    const unsigned width = FreeImage_GetWidth(image);
    const unsigned pitch = FreeImage_GetPitch(image);
    if (pitch % 4 != 0 || pitch < width * (bpp / 8) || pitch >= width * (bpp / 8) + 4)
        return GL_NONE;
    if (bpp == 24)
        return GL_BGR; // alpha becomes 255, as the conversion to 32 bits makes it
    if (bpp == 32)
        return GL_BGRA;
    return GL_NONE;
}

// The loaded picture converted to 32-bit BGRA, or null.
Image to32Bits(Image loaded) {
    if (!loaded)
        return nullptr;
    return Image(FreeImage_ConvertTo32Bits(loaded.get()));
}

} // namespace

std::vector<unsigned char> loadImage(const std::string& path, int& width, int& height) {
    width = 0;
    height = 0;
    std::vector<unsigned char> pixels;
    const Image image = to32Bits(Image(decode(path)));
    if (!image)
        return pixels;

    const int w = static_cast<int>(FreeImage_GetWidth(image.get()));
    const int h = static_cast<int>(FreeImage_GetHeight(image.get()));
    const unsigned pitch = FreeImage_GetPitch(image.get());
    const BYTE* bits = FreeImage_GetBits(image.get());
    if (w > 0 && h > 0 && bits != nullptr) {
        width = w;
        height = h;
        pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
        // FreeImage stores blue, green, red, alpha; GL wants red first. Rows
        // keep FreeImage's bottom-first order, which is what GL expects.
        for (int y = 0; y < h; ++y) {
            const BYTE* row = bits + static_cast<size_t>(pitch) * static_cast<size_t>(y);
            unsigned char* out = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w) * 4;
            for (int x = 0; x < w; ++x) {
                out[4 * x + 0] = row[4 * x + 2];
                out[4 * x + 1] = row[4 * x + 1];
                out[4 * x + 2] = row[4 * x + 0];
                out[4 * x + 3] = row[4 * x + 3];
            }
        }
    }
    return pixels;
}

namespace {

// A decoded picture as GL takes it: 8-bit channels, bottom row first, rows
// `pitch` bytes apart (tight, or padded to four bytes).
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;  // 3 or 4
    GLenum format = 0; // GL_RGB, GL_RGBA, GL_BGR or GL_BGRA
    std::size_t pitch = 0;
    const unsigned char* bytes = nullptr;

    PngPicture png; // storage when the plain PNG reader decoded it
    Image image;    // storage when FreeImage did
};

bool decodePicture(const std::string& path, Picture& picture) {
    // The game's PNG pictures take the fast reader; it declines anything the
    // general decoder would treat differently.
    if (readPlainPng(path, picture.png, true)) {
        picture.width = picture.png.width;
        picture.height = picture.png.height;
        picture.channels = picture.png.channels;
        picture.format = picture.channels == 3 ? GL_RGB : GL_RGBA;
        picture.pitch = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.channels);
        picture.bytes = picture.png.pixels.get();
        return true;
    }
    picture.image.reset(decode(path));
    if (picture.image && directFormat(picture.image.get()) == GL_NONE)
        picture.image = to32Bits(std::move(picture.image));
    FIBITMAP* image = picture.image.get();
    if (image == nullptr || FreeImage_GetBits(image) == nullptr || FreeImage_GetWidth(image) == 0 ||
        FreeImage_GetHeight(image) == 0)
        return false;
    picture.width = static_cast<int>(FreeImage_GetWidth(image));
    picture.height = static_cast<int>(FreeImage_GetHeight(image));
    picture.format = directFormat(image); // blue first in memory: GL swaps while it copies
    picture.channels = picture.format == GL_BGR ? 3 : 4;
    picture.pitch = FreeImage_GetPitch(image);
    picture.bytes = FreeImage_GetBits(image);
    return true;
}

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
    Picture picture;
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

    Picture picture;
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
