// The plain-PNG reader on arbitrary bytes: it either declines or returns a
// picture whose every byte can be read, never reads outside its input.
#include "core/media/PngReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool rgba : {false, true}) {
        tovi::PngPicture picture;
        if (!tovi::decodePlainPng(data, size, picture, rgba))
            continue;
        if (picture.width <= 0 || picture.height <= 0 || !picture.pixels)
            std::abort();
        if (picture.channels != (rgba ? 4 : picture.channels) ||
            (picture.channels != 3 && picture.channels != 4))
            std::abort();
        unsigned sum = 0;
        const std::size_t n = picture.size();
        for (std::size_t i = 0; i < n; ++i)
            sum += picture.pixels[i];
        if (sum == 0xdeadbeefu)
            std::abort(); // keeps the reads
    }
    return 0;
}
