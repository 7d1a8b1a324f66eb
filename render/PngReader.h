#pragma once
// A fast reader for the plain kind of PNG the game's pictures are: 8 bits per
// channel, RGB or RGBA, not interlaced, no colour-space chunks. It decodes
// straight into the layout GL takes, bottom row first, which spares the
// general image library's copies and conversions. Anything else (other
// depths and colour types, interlacing, gamma or colour-profile chunks, a
// damaged file) it declines, and the caller decodes the file the general
// way; for the files it accepts it gives exactly the same pixels.
#include <cstddef>
#include <string>
#include <vector>

namespace tovi {

struct PngPicture {
    int width = 0;
    int height = 0;
    int channels = 0;                  // 3 (red, green, blue) or 4 (with alpha)
    std::vector<unsigned char> pixels; // width * channels bytes per row, bottom row first
};

// False when the bytes are not a PNG of the plain kind, or are damaged
// (bad checksum, short or surplus image data); `out` is then unspecified.
bool decodePlainPng(const unsigned char* data, std::size_t size, PngPicture& out);

// The same for a file; false also when it cannot be read.
bool readPlainPng(const std::string& path, PngPicture& out);

} // namespace tovi
