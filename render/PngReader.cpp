#include "render/PngReader.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

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

int paeth(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the row filter of one scan line: `row` holds the filtered bytes and
// becomes the picture's line; `up` is the line above (zeros for the first).
template <int Bpp> bool unfilter(int filter, unsigned char* row, const unsigned char* up, std::size_t bytes) {
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
        for (std::size_t i = 0; i < Bpp; ++i)
            row[i] = static_cast<unsigned char>(row[i] + up[i]);
        for (std::size_t i = Bpp; i < bytes; ++i)
            row[i] = static_cast<unsigned char>(row[i] + paeth(row[i - Bpp], up[i], up[i - Bpp]));
        return true;
    default:
        return false;
    }
}

} // namespace

bool decodePlainPng(const unsigned char* data, std::size_t size, PngPicture& out) {
    static const unsigned char kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (data == nullptr || size < 8 || std::memcmp(data, kSignature, 8) != 0)
        return false;

    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    struct End {
        z_stream* z;
        ~End() { inflateEnd(z); }
    } end{&z};

    std::size_t pos = 8;
    bool header = false, ended = false, streamEnd = false, sawData = false, dataDone = false;
    std::size_t lineBytes = 0;
    std::vector<unsigned char> filtered; // one filter byte and one line per row, top row first
    while (!ended) {
        if (size - pos < 12)
            return false;
        const std::uint32_t length = bigEndian32(data + pos);
        if (length > 0x7fffffffu || size - pos - 12 < length)
            return false;
        const unsigned char* type = data + pos + 4;
        const unsigned char* body = data + pos + 8;
        const std::uint32_t crc = bigEndian32(body + length);
        if (crc32(crc32(0L, Z_NULL, 0), type, length + 4) != crc)
            return false;
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
            filtered.resize((lineBytes + 1) * std::size_t(h));
            z.next_out = filtered.data();
            z.avail_out = static_cast<uInt>(filtered.size());
            header = true;
        } else if (isType(type, "IDAT")) {
            // Image data is one run of consecutive chunks.
            if (dataDone || streamEnd)
                return false;
            sawData = true;
            z.next_in = const_cast<Bytef*>(body);
            z.avail_in = length;
            while (z.avail_in > 0) {
                const int status = inflate(&z, Z_NO_FLUSH);
                if (status == Z_STREAM_END) {
                    streamEnd = true;
                    break;
                }
                if (status != Z_OK)
                    return false;
                if (z.avail_out == 0 && z.avail_in > 0)
                    return false; // more image data than the picture holds
            }
            if (streamEnd && z.avail_in > 0)
                return false;
        } else if (isType(type, "IEND")) {
            ended = true;
        } else if (!isHarmless(type)) {
            return false; // a palette, transparency, gamma, colour profile or unknown chunk
        }
        if (sawData && !isType(type, "IDAT"))
            dataDone = true;
    }
    if (!header || !streamEnd || z.avail_out != 0)
        return false;

    // Undo the filters top-down, writing each line to its place counted from
    // the bottom.
    const std::size_t rows = static_cast<std::size_t>(out.height);
    out.pixels.resize(lineBytes * rows);
    const std::vector<unsigned char> zeros(lineBytes, 0);
    const unsigned char* up = zeros.data();
    for (std::size_t r = 0; r < rows; ++r) {
        const unsigned char* source = filtered.data() + r * (lineBytes + 1);
        unsigned char* line = out.pixels.data() + (rows - 1 - r) * lineBytes;
        std::memcpy(line, source + 1, lineBytes);
        const bool ok = out.channels == 3 ? unfilter<3>(source[0], line, up, lineBytes)
                                          : unfilter<4>(source[0], line, up, lineBytes);
        if (!ok)
            return false;
        up = line;
    }
    return true;
}

bool readPlainPng(const std::string& path, PngPicture& out) {
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
    return decodePlainPng(bytes.data(), bytes.size(), out);
}

} // namespace tovi
