#pragma once
// The fixed race frame that keeps the frame-rate work honest: a race started
// on a clock standing still, the ball at a fixed place on the shipped course,
// a fixed camera and its own projection (not the window's), the lamps at a
// fixed point of their circle, no particles (they are random) and no
// frame-rate line. bench_game draws it through the game's own frame
// composition and saves it; bench_race compares it with bench/reference_frame.png
// (mean absolute difference of the colour channels, in % of full scale).
#include "render/GL.h"

#include <FreeImage.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb; // rows bottom to top, as GL reads them
};

// The back buffer of the bound default framebuffer.
inline Picture readBackBuffer(int width, int height) {
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

inline bool savePicture(const Picture& p, const std::string& path) {
    FIBITMAP* bitmap = FreeImage_Allocate(p.width, p.height, 24);
    if (bitmap == nullptr)
        return false;
    for (int y = 0; y < p.height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y); // FreeImage rows run bottom to top too
        const unsigned char* from = p.rgb.data() + static_cast<std::size_t>(y) * p.width * 3;
        for (int x = 0; x < p.width; ++x) {
            row[x * 3 + FI_RGBA_RED] = from[x * 3 + 0];
            row[x * 3 + FI_RGBA_GREEN] = from[x * 3 + 1];
            row[x * 3 + FI_RGBA_BLUE] = from[x * 3 + 2];
        }
    }
    const bool ok = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_Z_BEST_COMPRESSION) != 0;
    FreeImage_Unload(bitmap);
    return ok;
}

inline bool loadPicture(const std::string& path, Picture& p) {
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (loaded == nullptr)
        return false;
    FIBITMAP* bitmap = FreeImage_ConvertTo24Bits(loaded);
    FreeImage_Unload(loaded);
    if (bitmap == nullptr)
        return false;
    p.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    p.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    p.rgb.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3);
    for (int y = 0; y < p.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, y);
        unsigned char* to = p.rgb.data() + static_cast<std::size_t>(y) * p.width * 3;
        for (int x = 0; x < p.width; ++x) {
            to[x * 3 + 0] = row[x * 3 + FI_RGBA_RED];
            to[x * 3 + 1] = row[x * 3 + FI_RGBA_GREEN];
            to[x * 3 + 2] = row[x * 3 + FI_RGBA_BLUE];
        }
    }
    FreeImage_Unload(bitmap);
    return true;
}

// Mean absolute difference of all colour channels in % of full scale, or a
// negative number when the sizes differ.
inline double meanDifferencePercent(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return -1.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    return 100.0 * sum / (255.0 * static_cast<double>(a.rgb.size()));
}

// The share of channels that differ by more than `threshold` (in % of all),
// which shows a small spot gone wrong that the mean hides.
inline double changedSharePercent(const Picture& a, const Picture& b, int threshold) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty())
        return -1.0;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        if (std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i])) > threshold)
            ++changed;
    return 100.0 * static_cast<double>(changed) / static_cast<double>(a.rgb.size());
}

} // namespace bench
