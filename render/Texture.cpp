#include "render/Texture.h"

#include <FreeImage.h>

#include <memory>

namespace tovi {

std::vector<GLuint> textureRegistry;

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

bool uploadImage(GLenum target, const std::string& path) {
    Image image(decode(path));
    if (image && directFormat(image.get()) == GL_NONE)
        image = to32Bits(std::move(image));
    const int w = image ? static_cast<int>(FreeImage_GetWidth(image.get())) : 0;
    const int h = image ? static_cast<int>(FreeImage_GetHeight(image.get())) : 0;
    const BYTE* bits = image ? FreeImage_GetBits(image.get()) : nullptr;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (w <= 0 || h <= 0 || bits == nullptr) {
        glTexImage2D(target, 0, GL_RGBA, 0, 0, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        return false;
    }
    // Blue first in memory: GL swaps the channels while it copies.
    glTexImage2D(target, 0, GL_RGBA, w, h, 0, directFormat(image.get()), GL_UNSIGNED_BYTE, bits);
    return true;
}

Texture::Texture(std::string path) {
    glGenTextures(1, &textureId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureId);
    textureRegistry.push_back(textureId);

    if (uploadImage(GL_TEXTURE_2D, path))
        glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
}

Texture::~Texture() {
    glDeleteTextures(1, &textureId);
}

} // namespace tovi
