#pragma once
// Picture files decoded into what a texture upload takes. No GL calls here:
// decoding may run on a worker thread (see PicturePrefetch).
#include "core/media/PngReader.h"
#include "render/GL.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct FIBITMAP;

namespace tovi {
class PicturePrefetch;

// Decodes an image file into RGBA bytes, bottom scan line first. A missing or
// unreadable file gives width = height = 0 and an empty buffer.
std::vector<unsigned char> loadImage(const std::string& path, int& width, int& height);

// A decoded picture as GL takes it: 8-bit channels, bottom row first, rows
// `pitch` bytes apart (tight, or padded to four bytes).
struct DecodedPicture {
    int width = 0;
    int height = 0;
    int channels = 0;  // 3 or 4
    GLenum format = 0; // GL_RGB, GL_RGBA, GL_BGR or GL_BGRA
    std::size_t pitch = 0;
    const unsigned char* bytes = nullptr; // null: nothing decoded

    struct Unload {
        void operator()(FIBITMAP* image) const;
    };
    PngPicture png;                          // storage when the plain PNG reader decoded it
    std::unique_ptr<FIBITMAP, Unload> image; // storage when the general decoder did
};

// Decodes the file now: true-colour pictures as they are (RGB, RGBA, BGR or
// BGRA), anything else converted to 32 bits. False when there is no picture.
bool decodePictureNow(const std::string& path, DecodedPicture& picture);

// The same, but a picture decoded ahead is taken from the prefetch in use.
bool decodePicture(const std::string& path, DecodedPicture& picture);

// Pictures decoded ahead are taken from prefetch (null: none) instead of
// being read again; the caller keeps it alive until it passes null.
void usePicturePrefetch(PicturePrefetch* prefetch);

} // namespace tovi
