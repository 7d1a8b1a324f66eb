#include "core/media/PngReader.h"

#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tovi {

namespace {

// Largest picture taken here (bytes of pixels); bigger ones go the general
// way.
constexpr std::size_t kMaxPixelBytes = std::size_t(1) << 28;

std::uint32_t bigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

bool isType(const unsigned char* type, const char* name) {
    return std::memcmp(type, name, 4) == 0;
}

// Chunks that carry no pixel information the general decoder would apply.
bool isHarmless(const unsigned char* type) {
    return isType(type, "tEXt") || isType(type, "zTXt") || isType(type, "iTXt") || isType(type, "pHYs") ||
           isType(type, "tIME");
}

// Red, green, blue to red, green, blue, alpha 255.
void widen(const unsigned char* line, unsigned char* target, std::size_t pixels) {
    for (std::size_t x = 0; x < pixels; ++x) {
        target[4 * x + 0] = line[3 * x + 0];
        target[4 * x + 1] = line[3 * x + 1];
        target[4 * x + 2] = line[3 * x + 2];
        target[4 * x + 3] = 255;
    }
}

#if defined(__SSE2__)
// One pixel to and from the low 16-bit lanes of a register. The load takes
// four bytes whatever the pixel size (the buffers have a spare byte at the
// end), so it is one plain load; lanes past the pixel are never stored.
inline __m128i loadPixel(const unsigned char* p) {
    int v = 0;
    std::memcpy(&v, p, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(v), _mm_setzero_si128());
}
template <int Bpp> void storePixel(unsigned char* p, __m128i v) {
    const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_and_si128(v, _mm_set1_epi16(0xff)), v));
    std::memcpy(p, &packed, Bpp);
}
__m128i absolute(__m128i v) {
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}
#endif

// The Paeth filter pixel by pixel; with SSE2 all channels of a pixel at once.
// With `rgba` given (3-byte pixels only), each finished pixel is also stored
// there with alpha 255, which spares a separate pass to widen the line.
template <int Bpp>
void unpaeth(unsigned char* row, const unsigned char* up, std::size_t bytes, unsigned char* rgba) {
#if defined(__SSE2__)
    const __m128i lowBytes = _mm_set1_epi16(0xff);
    const __m128i opaque = _mm_set_epi16(0, 0, 0, 0, 0xff, 0, 0, 0);
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    for (std::size_t i = 0; i < bytes; i += Bpp) {
        const __m128i b = loadPixel(up + i);
        const __m128i x = loadPixel(row + i);
        // Everything that does not depend on the pixel to the left first.
        const __m128i da = _mm_sub_epi16(b, c); // p - a
        const __m128i pa = absolute(da);
        const __m128i bXorC = _mm_xor_si128(b, c);
        const __m128i db = _mm_sub_epi16(a, c); // p - b
        const __m128i pb = absolute(db);
        const __m128i pc = absolute(_mm_add_epi16(da, db));
        // b where pb <= pc, else c; then a where pa is smallest of all:
        // the order the format gives for ties.
        const __m128i bOrC =
            _mm_xor_si128(c, _mm_and_si128(bXorC, _mm_cmpeq_epi16(_mm_min_epi16(pb, pc), pb)));
        const __m128i useA = _mm_cmpeq_epi16(_mm_min_epi16(pa, _mm_min_epi16(pb, pc)), pa);
        const __m128i predictor = _mm_xor_si128(bOrC, _mm_and_si128(_mm_xor_si128(a, bOrC), useA));
        const __m128i value = _mm_and_si128(_mm_add_epi16(x, predictor), lowBytes);
        storePixel<Bpp>(row + i, value);
        if (Bpp == 3 && rgba != nullptr) {
            const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_or_si128(value, opaque), value));
            std::memcpy(rgba + i / 3 * 4, &packed, 4);
        }
        a = value;
        c = b;
    }
#else
    const auto paeth = [](int a, int b, int c) {
        const int pa = std::abs(b - c);
        const int pb = std::abs(a - c);
        const int pc = std::abs(a + b - 2 * c);
        if (pa <= pb && pa <= pc)
            return a;
        return pb <= pc ? b : c;
    };
    for (std::size_t i = 0; i < Bpp; ++i)
        row[i] = static_cast<unsigned char>(row[i] + up[i]);
    for (std::size_t i = Bpp; i < bytes; ++i)
        row[i] = static_cast<unsigned char>(row[i] + paeth(row[i - Bpp], up[i], up[i - Bpp]));
    if (Bpp == 3 && rgba != nullptr)
        widen(row, rgba, bytes / 3);
#endif
}

// Undoes the row filter of one scan line: `row` holds the filtered bytes and
// becomes the picture's line; `up` is the line above (zeros for the first).
// `widened` tells whether the line also went to `rgba` (see unpaeth).
template <int Bpp>
bool unfilter(int filter, unsigned char* row, const unsigned char* up, std::size_t bytes, unsigned char* rgba,
              bool& widened) {
    widened = false;
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (std::size_t i = Bpp; i < bytes; ++i)
            row[i] = static_cast<unsigned char>(row[i] + row[i - Bpp]);
        return true;
    case 2:
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = static_cast<unsigned char>(row[i] + up[i]);
        return true;
    case 3:
        for (std::size_t i = 0; i < Bpp; ++i)
            row[i] = static_cast<unsigned char>(row[i] + (up[i] >> 1));
        for (std::size_t i = Bpp; i < bytes; ++i)
            row[i] = static_cast<unsigned char>(row[i] + ((row[i - Bpp] + up[i]) >> 1));
        return true;
    case 4:
        unpaeth<Bpp>(row, up, bytes, rgba);
        widened = Bpp == 3 && rgba != nullptr;
        return true;
    default:
        return false;
    }
}

} // namespace

bool decodePlainPng(const unsigned char* data, std::size_t size, PngPicture& out, bool rgba) {
    static const unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (data == nullptr || size < 8 || std::memcmp(data, kSignature, 8) != 0)
        return false;

    std::size_t pos = 8;
    bool header = false, ended = false, sawData = false, dataDone = false;
    // The compressed image data, gathered from its chunks.
    std::vector<unsigned char> packed;
    std::size_t lineBytes = 0;
    // One filter byte and one line per row, top row first; every byte of it
    // is written by the decompression before it is read.
    std::unique_ptr<unsigned char[]> filtered;
    std::size_t filteredSize = 0;
    while (!ended) {
        if (size - pos < 12)
            return false;
        const std::uint32_t length = bigEndian32(data + pos);
        if (length > 0x7fffffffu || size - pos - 12 < length)
            return false;
        const unsigned char* type = data + pos + 4;
        const unsigned char* body = data + pos + 8;
        const std::uint32_t crc = bigEndian32(body + length);
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION // let the fuzzer past the checksums
        if (libdeflate_crc32(0, type, length + 4) != crc)
            return false;
#else
        (void)crc;
#endif
        pos += 12 + length;

        if (!header) {
            // The header comes first and says what the picture is.
            if (!isType(type, "IHDR") || length != 13)
                return false;
            const std::uint32_t w = bigEndian32(body), h = bigEndian32(body + 4);
            const int depth = body[8], colour = body[9];
            if (w == 0 || h == 0 || w > 0x7fffffffu || h > 0x7fffffffu || depth != 8 ||
                (colour != 2 && colour != 6) || body[10] != 0 || body[11] != 0 || body[12] != 0)
                return false;
            const int channels = colour == 2 ? 3 : 4;
            if (std::size_t(w) * std::size_t(h) * std::size_t(channels) > kMaxPixelBytes)
                return false;
            out.width = static_cast<int>(w);
            out.height = static_cast<int>(h);
            out.channels = channels;
            lineBytes = std::size_t(w) * std::size_t(channels);
            filteredSize = (lineBytes + 1) * std::size_t(h);
            filtered.reset(new unsigned char[filteredSize + 1]); // + a spare byte for whole-pixel loads
            filtered[filteredSize] = 0;
            header = true;
        } else if (isType(type, "IDAT")) {
            // Image data is one run of consecutive chunks.
            if (dataDone)
                return false;
            sawData = true;
            packed.insert(packed.end(), body, body + length);
        } else if (isType(type, "IEND")) {
            ended = true;
        } else if (!isHarmless(type)) {
            return false; // a palette, transparency, gamma, colour profile or unknown chunk
        }
        if (sawData && !isType(type, "IDAT"))
            dataDone = true;
    }
    if (!header || !sawData)
        return false;
    // Exactly one complete stream that fills the picture, nothing after it.
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    if (inflater == nullptr)
        return false;
    std::size_t used = 0, produced = 0;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    const libdeflate_result result = libdeflate_zlib_decompress_ex(
        inflater, packed.data(), packed.size(), filtered.get(), filteredSize, &used, &produced);
    const std::size_t expectedUse = packed.size();
#else
    // The raw stream inside the zlib wrapper, its Adler-32 unchecked.
    if (packed.size() < 6) {
        libdeflate_free_decompressor(inflater);
        return false;
    }
    const libdeflate_result result = libdeflate_deflate_decompress_ex(
        inflater, packed.data() + 2, packed.size() - 6, filtered.get(), filteredSize, &used, &produced);
    const std::size_t expectedUse = packed.size() - 6;
#endif
    libdeflate_free_decompressor(inflater);
    if (result != LIBDEFLATE_SUCCESS || used != expectedUse || produced != filteredSize)
        return false;

    // Undo the filters top-down in place (each line's filter byte before it
    // keeps the lines apart) and put each line at its place counted from the
    // bottom, adding alpha where asked.
    const std::size_t rows = static_cast<std::size_t>(out.height);
    const std::size_t width = static_cast<std::size_t>(out.width);
    const int fileChannels = out.channels;
    if (rgba)
        out.channels = 4;
    const bool widen3 = fileChannels == 3 && out.channels == 4;
    const std::size_t outLine = width * static_cast<std::size_t>(out.channels);
    out.pixels.reset(new unsigned char[outLine * rows]);
    const std::vector<unsigned char> zeros(lineBytes + 1, 0);
    const unsigned char* up = zeros.data();
    for (std::size_t r = 0; r < rows; ++r) {
        unsigned char* line = filtered.get() + r * (lineBytes + 1) + 1;
        unsigned char* target = out.pixels.get() + (rows - 1 - r) * outLine;
        bool widened = false;
        const bool ok = fileChannels == 3
                            ? unfilter<3>(line[-1], line, up, lineBytes, widen3 ? target : nullptr, widened)
                            : unfilter<4>(line[-1], line, up, lineBytes, nullptr, widened);
        if (!ok)
            return false;
        if (widen3 && !widened)
            widen(line, target, width);
        else if (!widen3)
            std::memcpy(target, line, lineBytes);
        up = line;
    }
    return true;
}

bool readPlainPng(const std::string& path, PngPicture& out, bool rgba) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    unsigned char signature[8] = {};
    if (!file.read(reinterpret_cast<char*>(signature), 8))
        return false;
    static const unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (std::memcmp(signature, kSignature, 8) != 0)
        return false; // not a PNG: leave it to the general decoder without reading on
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size <= 0)
        return false;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return false;
    return decodePlainPng(bytes.data(), bytes.size(), out, rgba);
}

} // namespace tovi
