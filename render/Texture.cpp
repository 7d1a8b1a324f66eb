#include "render/Texture.h"

#include <FreeImage.h>

namespace tovi {

std::vector<GLuint> textureRegistry;

std::vector<unsigned char> loadImage(const std::string& path, int& width, int& height) {
    width = 0;
    height = 0;
    std::vector<unsigned char> pixels;
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path.c_str());
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format))
        return pixels;
    FIBITMAP* loaded = FreeImage_Load(format, path.c_str(), 0);
    if (loaded == nullptr)
        return pixels;
    FIBITMAP* image = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    if (image == nullptr)
        return pixels;

    const int w = static_cast<int>(FreeImage_GetWidth(image));
    const int h = static_cast<int>(FreeImage_GetHeight(image));
    const unsigned pitch = FreeImage_GetPitch(image);
    const BYTE* bits = FreeImage_GetBits(image);
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
    FreeImage_Unload(image);
    return pixels;
}

Texture::Texture(std::string path) {
    glGenTextures(1, &textureId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureId);
    textureRegistry.push_back(textureId);

    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels = loadImage(path, width, height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.empty() ? nullptr : pixels.data());
    if (width > 0 && height > 0)
        glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
}

Texture::~Texture() { glDeleteTextures(1, &textureId); }

} // namespace tovi
