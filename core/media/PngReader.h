#pragma once
// A fast reader for the plain kind of PNG the game's pictures are: 8 bits per
// channel, RGB or RGBA, not interlaced, no colour-space chunks. It decodes
// straight into the layout GL takes, bottom row first, which spares the
// general image library's copies and conversions. Anything else (other
// depths and colour types, interlacing, gamma or colour-profile chunks, a
// damaged file) it declines, and the caller decodes the file the general
// way; for the files it accepts it gives exactly the same pixels.
#include <cstddef>
#include <memory>
#include <string>

namespace tovi {

struct PngPicture {
    int width = 0;
    int height = 0;
    int channels = 0; // 3 (red, green, blue) or 4 (with alpha)
    // width * channels bytes per row, bottom row first.
    std::unique_ptr<unsigned char[]> pixels;
    std::size_t size() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
               static_cast<std::size_t>(channels);
    }
};

// False when the bytes are not a PNG of the plain kind, or are damaged
// (bad checksum, short or surplus image data); `out` is then unspecified.
// With `rgba` set, pictures without alpha come out with 4 channels too,
// alpha 255, as an RGBA texture holds them.
bool decodePlainPng(const unsigned char* data, std::size_t size, PngPicture& out, bool rgba = false);

// The same for a file; false also when it cannot be read.
bool readPlainPng(const std::string& path, PngPicture& out, bool rgba = false);

} // namespace tovi
