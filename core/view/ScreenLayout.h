#pragma once
// How the game's pictures lie on a framebuffer of any size: the camera's
// aspect ratio, the bitmap-font text space, the start, win and lose pictures,
// and the monitor a window mostly covers. No GL here.
#include <glm/glm.hpp>

#include <vector>

namespace tovi {

// Width over height of the framebuffer; 4/3 while either side is 0 or less
// (a minimised window), so no projection ever divides by zero.
float viewAspect(int width, int height);

// The 800 x 600 text space on a framebuffer: one scale in both directions,
// so glyphs keep their shape and every line of the space fits, but glyphs
// never shrink below 8 pixels (the smallest the font stays readable at;
// long lines may then run off a tiny window's right edge). A line in the
// upper half keeps its distance to the top edge, any other to the bottom
// edge; every line keeps its distance to the left edge, a centred one stays
// on the middle of the width. 800 x 600 itself maps one to one.
constexpr float kSmallestTextScale = 0.4f;
struct TextPlacement {
    float scale = 1.0f;
    float width = 800.0f; // the framebuffer, pixels
    float height = 600.0f;
};
TextPlacement textPlacement(int width, int height);
// Where the text space's origin goes for a line whose bottom edge is at y,
// in framebuffer pixels; a point p of the line lands on offset + p * scale.
glm::vec2 textLineOffset(const TextPlacement& placement, int y, bool centred);
// Moves the points of a line (text space, bottom edge at y) to where the
// placement puts them, given back in the text space stretched over the whole
// framebuffer that the text shader draws in.
void placeTextLine(const TextPlacement& placement, int y, bool centred, std::vector<glm::vec2>& points);

// A rectangle in pixels or screen coordinates, x and y its lower or upper
// left corner.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest rectangle of the picture's shape inside the framebuffer,
// centred (the rest stays black). Empty when any size is 0 or less.
ScreenRect fitPicture(int pictureWidth, int pictureHeight, int width, int height);

// The index of the area the window overlaps most, the first on a tie; 0 when
// it overlaps none (the first is the primary monitor), -1 without areas.
int mostCoveredArea(const ScreenRect& window, const ScreenRect* areas, int count);

} // namespace tovi
