#pragma once
// The decisions of the frame draw that need no GL: which rings and pieces are
// drawn, how many were left out, and which HUD lines appear. drawFrame walks
// the level through these, and the core tests check them without a window.
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "core/view/HudText.h"
#include "core/view/ViewFrustum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace tovi {

// Culling spheres around an object's origin.
constexpr float kRingCullRadius = 2.0f;
constexpr float kPieceCullRadius = 10.0f;

// The culling sphere of an object: the given radius around its origin,
// grown with the object's largest scale (never shrunk below the radius).
inline float cullRadius(const glm::mat4& model, float radius) {
    return radius * std::max({glm::length(glm::vec3(model[0])), glm::length(glm::vec3(model[1])),
                              glm::length(glm::vec3(model[2])), 1.0f});
}

// Whether a sphere may be seen. What lies wholly beyond the far plane or
// behind the camera cannot reach a pixel and is skipped whether culling is
// on or not; culling (F8) adds the sides of the view. Without a frustum
// everything may be seen.
inline bool sphereMayBeSeen(const glm::vec3& centre, float radius, bool culling, const ViewFrustum* frustum) {
    if (frustum == nullptr)
        return true;
    if (!culling)
        return frustum->sphereWithinDepth(centre, radius);
    return frustum->sphereInFrustum(centre, radius) != ViewFrustum::Outside;
}

// Whether a sphere reaches the box an orthographic clipFromWorld (a
// projection times a rigid view, as the shadow map's light has) maps to
// -1..1 on every axis: what lies wholly outside casts nothing into the map.
inline bool sphereInClipBox(const glm::mat4& clipFromWorld, const glm::vec3& centre, float radius) {
    const glm::vec4 c = clipFromWorld * glm::vec4(centre, 1.0f);
    for (int axis = 0; axis < 3; ++axis) {
        const float unitsToClip =
            glm::length(glm::vec3(clipFromWorld[0][axis], clipFromWorld[1][axis], clipFromWorld[2][axis]));
        if (std::fabs(c[axis]) > 1.0f + radius * unitsToClip)
            return false;
    }
    return true;
}

// Calls draw(index, ring) for every ring that is neither passed nor out of
// sight (sphereMayBeSeen), in list order. A passed ring is never tested
// against the frustum. Returns how many were drawn.
template <typename Draw>
int drawVisibleRings(const std::vector<scene::SceneObject*>& rings, const std::vector<unsigned>& passedRings,
                     bool culling, const ViewFrustum* frustum, Draw&& draw) {
    int drawn = 0;
    for (std::size_t i = 0; i < rings.size(); ++i) {
        scene::SceneObject* ring = rings[i];
        if (ring == nullptr)
            continue;
        if (std::find(passedRings.begin(), passedRings.end(), static_cast<unsigned>(i)) != passedRings.end())
            continue;
        if (!sphereMayBeSeen(glm::vec3(ring->modelMatrix[3]), cullRadius(ring->modelMatrix, kRingCullRadius),
                             culling, frustum))
            continue;
        ++drawn;
        draw(i, *ring);
    }
    return drawn;
}

// Calls draw(index, piece) for every piece that may be seen
// (sphereMayBeSeen), in list order. Returns how many were drawn.
template <typename Draw>
int drawVisiblePieces(const std::vector<scene::SceneObject*>& pieces, bool culling,
                      const ViewFrustum* frustum, Draw&& draw) {
    int drawn = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        scene::SceneObject* piece = pieces[i];
        if (piece == nullptr)
            continue;
        if (!sphereMayBeSeen(glm::vec3(piece->modelMatrix[3]),
                             cullRadius(piece->modelMatrix, kPieceCullRadius), culling, frustum))
            continue;
        ++drawn;
        draw(i, *piece);
    }
    return drawn;
}

// Rings and pieces not drawn this frame; passed rings count as culled.
inline int culledObjectCount(std::size_t ringCount, std::size_t pieceCount, int drawnCount) {
    return static_cast<int>(ringCount + pieceCount) - drawnCount;
}

// What the HUD shows in a scene frame, top line first. x and y are the
// line's left and bottom edges in the 800 x 600 text space.
struct HudLine {
    int y = 0;
    std::string text;
    int x = kHudLineLeft;
    glm::vec3 colour{1.0f};
    bool centred = false; // stays on the middle of a wider window
};
struct HudLines {
    std::array<HudLine, 9> lines;
    int count = 0;
};

// The split's difference to the best run: green ahead, red behind.
constexpr glm::vec3 kAheadColour{0.35f, 1.0f, 0.35f};
constexpr glm::vec3 kBehindColour{1.0f, 0.3f, 0.25f};

struct HudState {
    int raceState = 0;     // the race object's state; the race time runs only while racing
    double raceTime = 0.0; // milliseconds since the race started
    double bestTime = 0.0; // the controls' best time, milliseconds
    std::size_t passedRings = 0;
    std::size_t ringCount = 0;
    bool showFrameRate = false;
    double deltaTime = 0.0;
    int culledCount = 0; // of the previous scene frame
    std::string notice;  // a message for the player, at the bottom; empty for none
    SplitView split;     // the split on show, if visible
    bool paused = false;
};

// Where a message for the player appears: the bottom line of the HUD, and
// over the full-screen pictures the top line, above their titles (the lower
// left corner holds the course's lines).
constexpr int kNoticeLineY = 20;
constexpr int kPictureNoticeLineY = 578;
// The small print: status lines stacked up from the bottom left (top line
// first in the list; above the player's message when one shows).
constexpr float kStatusLeft = 10.0f;
inline float statusLineY(std::size_t index, std::size_t count, bool aboveNotice = false) {
    const float bottom = aboveNotice ? static_cast<float>(kNoticeLineY + kHudGlyphSize + 4) : 6.0f;
    return bottom + kSmallLineStep * static_cast<float>(count - 1 - index);
}

inline HudLines hudLines(const HudState& state) {
    HudLines hud;
    auto add = [&hud](int y, std::string text, int x = kHudLineLeft, glm::vec3 colour = glm::vec3(1.0f)) {
        HudLine& line = hud.lines[static_cast<std::size_t>(hud.count)];
        line.y = y;
        line.text = std::move(text);
        line.x = x;
        line.colour = colour;
        ++hud.count;
    };
    add(575, state.raceState == MyCollision::Racing ? formatTime(state.raceTime) : std::string());
    add(555, state.bestTime >= MyCollision::kNoBestTime ? "--:--:--" : formatTime(state.bestTime));
    add(535, ringCountLine(state.passedRings, state.ringCount));
    if (state.showFrameRate) {
        add(505, frameRateLine(state.deltaTime));
        add(400, culledLine(state.culledCount));
    }
    if (!state.notice.empty())
        add(kNoticeLineY, state.notice);
    const bool racing = state.raceState == MyCollision::Racing;
    if (racing && state.split.visible) {
        const std::string time = formatHundredths(state.split.time);
        add(475, time);
        if (state.split.compared) {
            const int x = kHudLineLeft + kHudGlyphSize * (static_cast<int>(time.size()) + 1);
            add(475, splitDifference(state.split.difference), x,
                state.split.difference > 0.0 ? kBehindColour : kAheadColour);
        }
    }
    if (racing && state.paused) {
        add(420, "paused", 400 - 3 * kHudGlyphSize);
        hud.lines[static_cast<std::size_t>(hud.count - 1)].centred = true;
    }
    return hud;
}

} // namespace tovi
