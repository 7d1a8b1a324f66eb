#include "render/DecodedPicture.h"

#include "render/PicturePrefetch.h"

#include <FreeImage.h>

#include <memory>

namespace tovi {

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

using Image = std::unique_ptr<FIBITMAP, DecodedPicture::Unload>;

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
PicturePrefetch* prefetched = nullptr;
} // namespace

void DecodedPicture::Unload::operator()(FIBITMAP* image) const {
    FreeImage_Unload(image);
}

void usePicturePrefetch(PicturePrefetch* prefetch) {
    prefetched = prefetch;
}

bool decodePicture(const std::string& path, DecodedPicture& picture) {
    if (prefetched != nullptr && prefetched->take(path, picture))
        return picture.bytes != nullptr;
    return decodePictureNow(path, picture);
}

bool decodePictureNow(const std::string& path, DecodedPicture& picture) {
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

} // namespace tovi
