#include "core/view/ScreenLayout.h"

#include <algorithm>

namespace tovi {

namespace {
constexpr float kTextWidth = 800.0f;
constexpr float kTextHeight = 600.0f;

long long overlap(int start1, int length1, int start2, int length2) {
    const long long from = std::max<long long>(start1, start2);
    const long long to = std::min<long long>(static_cast<long long>(start1) + length1,
                                             static_cast<long long>(start2) + length2);
    return std::max(0LL, to - from);
}
} // namespace

float viewAspect(int width, int height) {
    if (width <= 0 || height <= 0)
        return 4.0f / 3.0f;
    return static_cast<float>(width) / static_cast<float>(height);
}

TextPlacement textPlacement(int width, int height) {
    TextPlacement placement;
    if (width <= 0 || height <= 0)
        return placement;
    placement.width = static_cast<float>(width);
    placement.height = static_cast<float>(height);
    placement.scale =
        std::max(kSmallestTextScale, std::min(placement.width / kTextWidth, placement.height / kTextHeight));
    return placement;
}

glm::vec2 textLineOffset(const TextPlacement& placement, int y, bool centred) {
    glm::vec2 offset(0.0f);
    if (centred)
        offset.x = (placement.width - kTextWidth * placement.scale) * 0.5f;
    if (static_cast<float>(y) >= kTextHeight * 0.5f)
        offset.y = placement.height - kTextHeight * placement.scale;
    return offset;
}

void placeTextLine(const TextPlacement& placement, int y, bool centred, std::vector<glm::vec2>& points) {
    const glm::vec2 offset = textLineOffset(placement, y, centred);
    const glm::vec2 stretch(kTextWidth / placement.width, kTextHeight / placement.height);
    for (glm::vec2& p : points)
        p = (offset + p * placement.scale) * stretch;
}

ScreenRect fitPicture(int pictureWidth, int pictureHeight, int width, int height) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0)
        return {};
    ScreenRect rect;
    // Compare the shapes in whole numbers: width / height against the picture's.
    const long long wide = static_cast<long long>(width) * pictureHeight;
    const long long tall = static_cast<long long>(height) * pictureWidth;
    if (wide > tall) {
        rect.height = height;
        rect.width = static_cast<int>(tall / pictureHeight);
    } else {
        rect.width = width;
        rect.height = static_cast<int>(wide / pictureWidth);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

int mostCoveredArea(const ScreenRect& window, const ScreenRect* areas, int count) {
    if (areas == nullptr || count <= 0)
        return -1;
    int best = 0;
    long long bestArea = 0;
    for (int i = 0; i < count; ++i) {
        const ScreenRect& a = areas[i];
        const long long area =
            overlap(window.x, window.width, a.x, a.width) * overlap(window.y, window.height, a.y, a.height);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

} // namespace tovi
