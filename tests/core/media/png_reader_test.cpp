// The plain PNG reader: every row filter decodes to the picture, rows come
// out bottom first, and anything it does not handle exactly like the general
// decoder (other kinds of PNG, damaged files) is declined, never guessed.
#include "core/media/PngReader.h"

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

// The zlib stream of the bytes, as an encoder writes it.
Bytes compress(const Bytes& raw) {
    libdeflate_compressor* packer = libdeflate_alloc_compressor(9);
    Bytes packed(libdeflate_zlib_compress_bound(packer, raw.size()));
    packed.resize(libdeflate_zlib_compress(packer, raw.data(), raw.size(), packed.data(), packed.size()));
    libdeflate_free_compressor(packer);
    return packed;
}

void chunk(Bytes& png, const char* type, const Bytes& body) {
    put32(png, static_cast<std::uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    put32(png, libdeflate_crc32(0, typed.data(), typed.size()));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// Filters one row the way an encoder does (the reference formulas of the
// format, written independently of the reader).
Bytes filterRow(int filter, const Bytes& row, const Bytes& up, int bpp) {
    Bytes out(row.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
        const int b = up[i];
        const int c = i >= static_cast<std::size_t>(bpp) ? up[i - bpp] : 0;
        int predictor = 0;
        if (filter == 1)
            predictor = a;
        else if (filter == 2)
            predictor = b;
        else if (filter == 3)
            predictor = (a + b) / 2;
        else if (filter == 4)
            predictor = paeth(a, b, c);
        out[i] = static_cast<unsigned char>(row[i] - predictor);
    }
    return out;
}

struct Png {
    int width = 5, height = 6, colour = 2, depth = 8, interlace = 0;
    std::vector<Bytes> rows;                                  // top row first
    std::vector<std::pair<std::string, Bytes>> before, after; // extra chunks around the data
    int idatParts = 1;
    bool badCrc = false;
    Bytes trailing; // extra bytes inside the compressed stream's input

    int channels() const { return colour == 6 ? 4 : 3; }

    Png() {
        for (int y = 0; y < height; ++y) {
            Bytes row;
            for (int x = 0; x < width * 3; ++x)
                row.push_back(static_cast<unsigned char>((x * 53 + y * 97 + x * y * 11) & 0xff));
            rows.push_back(row);
        }
    }

    Bytes encode() const {
        Bytes raw;
        Bytes up(rows[0].size(), 0);
        for (std::size_t y = 0; y < rows.size(); ++y) {
            const int filter = static_cast<int>(y % 5); // every filter, in turn
            raw.push_back(static_cast<unsigned char>(filter));
            const Bytes f = filterRow(filter, rows[y], up, channels());
            raw.insert(raw.end(), f.begin(), f.end());
            up = rows[y];
        }
        Bytes packed = compress(raw);
        packed.insert(packed.end(), trailing.begin(), trailing.end());

        Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
        Bytes header;
        put32(header, static_cast<std::uint32_t>(width));
        put32(header, static_cast<std::uint32_t>(height));
        header.insert(header.end(), {static_cast<unsigned char>(depth), static_cast<unsigned char>(colour), 0,
                                     0, static_cast<unsigned char>(interlace)});
        chunk(png, "IHDR", header);
        for (const auto& c : before)
            chunk(png, c.first.c_str(), c.second);
        const std::size_t part = (packed.size() + idatParts - 1) / idatParts;
        for (std::size_t at = 0; at < packed.size(); at += part)
            chunk(png, "IDAT",
                  Bytes(packed.begin() + at, packed.begin() + std::min(packed.size(), at + part)));
        for (const auto& c : after)
            chunk(png, c.first.c_str(), c.second);
        chunk(png, "IEND", {});
        if (badCrc)
            png[8 + 8 + 13 + 3] ^= 1; // the header's checksum
        return png;
    }
};

bool decode(const Png& p, tovi::PngPicture& out) {
    const Bytes bytes = p.encode();
    return tovi::decodePlainPng(bytes.data(), bytes.size(), out);
}

TEST(PngReader, EveryRowFilterGivesThePictureBottomRowFirst) {
    for (int colour : {2, 6}) {
        Png p;
        p.colour = colour;
        for (auto& row : p.rows) {
            Bytes wide;
            for (int x = 0; x < p.width; ++x)
                for (int c = 0; c < p.channels(); ++c)
                    wide.push_back(
                        static_cast<unsigned char>(row[static_cast<std::size_t>(x * 3 + c % 3)] + c * 60));
            row = wide;
        }
        p.idatParts = 3; // data split over several chunks
        p.before = {{"pHYs", Bytes(9, 0)}};
        p.after = {{"tEXt", Bytes{'a', 0, 'b'}}};
        tovi::PngPicture out;
        ASSERT_TRUE(decode(p, out)) << "colour type " << colour;
        EXPECT_EQ(out.width, p.width);
        EXPECT_EQ(out.height, p.height);
        EXPECT_EQ(out.channels, p.channels());
        const std::size_t line = static_cast<std::size_t>(p.width * p.channels());
        ASSERT_EQ(out.size(), line * static_cast<std::size_t>(p.height));
        for (int y = 0; y < p.height; ++y) {
            const Bytes got(out.pixels.get() + line * static_cast<std::size_t>(p.height - 1 - y),
                            out.pixels.get() + line * static_cast<std::size_t>(p.height - y));
            EXPECT_EQ(got, p.rows[static_cast<std::size_t>(y)]) << "row " << y << " from the top";
        }

        // As RGBA: the same colours, alpha 255 where the file has none.
        tovi::PngPicture rgba;
        const Bytes bytes = p.encode();
        ASSERT_TRUE(tovi::decodePlainPng(bytes.data(), bytes.size(), rgba, true));
        ASSERT_EQ(rgba.channels, 4);
        for (std::size_t i = 0; i < static_cast<std::size_t>(p.width * p.height); ++i)
            for (std::size_t c = 0; c < 4; ++c) {
                const int expected = c < 3 || p.channels() == 4
                                         ? out.pixels[i * static_cast<std::size_t>(p.channels()) + c]
                                         : 255;
                ASSERT_EQ(rgba.pixels[i * 4 + c], expected) << "texel " << i << " channel " << c;
            }
    }
}

TEST(PngReader, PaethTiesAndWrapAroundFollowTheFormat) {
    // Rows built so the Paeth predictor meets equal distances and sums
    // past 255 in every channel.
    for (int colour : {2, 6}) {
        Png p;
        p.colour = colour;
        p.width = 9;
        p.height = 10;
        p.rows.clear();
        const int pattern[] = {0, 255, 128, 127, 1, 254, 64, 192, 100, 100, 200, 50};
        for (int y = 0; y < p.height; ++y) {
            Bytes row;
            for (int i = 0; i < p.width * p.channels(); ++i)
                row.push_back(static_cast<unsigned char>(pattern[(i * 7 + y * 5) % 12] + (y % 3) * (i % 2)));
            p.rows.push_back(row);
        }
        tovi::PngPicture out;
        ASSERT_TRUE(decode(p, out));
        const std::size_t line = static_cast<std::size_t>(p.width * p.channels());
        for (int y = 0; y < p.height; ++y)
            EXPECT_EQ(Bytes(out.pixels.get() + line * static_cast<std::size_t>(p.height - 1 - y),
                            out.pixels.get() + line * static_cast<std::size_t>(p.height - y)),
                      p.rows[static_cast<std::size_t>(y)])
                << "row " << y;
    }
}

TEST(PngReader, DeclinesWhatTheGeneralDecoderTreatsDifferently) {
    tovi::PngPicture out;
    Png grey;
    grey.colour = 0;
    EXPECT_FALSE(decode(grey, out));
    Png sixteen;
    sixteen.depth = 16;
    EXPECT_FALSE(decode(sixteen, out));
    Png interlaced;
    interlaced.interlace = 1;
    EXPECT_FALSE(decode(interlaced, out));
    for (const char* type : {"gAMA", "sRGB", "iCCP", "cHRM", "tRNS", "PLTE", "sBIT", "zzZZ"}) {
        Png p;
        p.before = {{type, Bytes(4, 1)}};
        EXPECT_FALSE(decode(p, out)) << type;
    }
}

TEST(PngReader, DeclinesDamagedFiles) {
    tovi::PngPicture out;
    Png crc;
    crc.badCrc = true;
    EXPECT_FALSE(decode(crc, out));

    Png surplus;
    surplus.trailing = {1, 2, 3, 4};
    EXPECT_FALSE(decode(surplus, out));

    Png good;
    const Bytes bytes = good.encode();
    for (std::size_t cut :
         {std::size_t(0), std::size_t(7), std::size_t(20), bytes.size() / 2, bytes.size() - 13})
        EXPECT_FALSE(tovi::decodePlainPng(bytes.data(), cut, out)) << "cut at " << cut;
    ASSERT_TRUE(tovi::decodePlainPng(bytes.data(), bytes.size(), out));

    // A row with an unknown filter type.
    Png badFilter;
    Bytes raw;
    for (int y = 0; y < badFilter.height; ++y) {
        raw.push_back(y == 2 ? 7 : 0);
        raw.insert(raw.end(), badFilter.rows[static_cast<std::size_t>(y)].begin(),
                   badFilter.rows[static_cast<std::size_t>(y)].end());
    }
    Bytes png(bytes.begin(), bytes.begin() + 8 + 25);
    chunk(png, "IDAT", compress(raw));
    chunk(png, "IEND", {});
    EXPECT_FALSE(tovi::decodePlainPng(png.data(), png.size(), out));

    EXPECT_FALSE(tovi::readPlainPng("/nonexistent/zentaro.png", out));
}

} // namespace
