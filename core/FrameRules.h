#pragma once
// The decisions of the frame draw that need no GL: which rings and pieces are
// drawn, how many were left out, and which HUD lines appear. drawFrame walks
// the level through these, and the core tests check them without a window.
#include "core/HudText.h"
#include "core/MyCollision.h"
#include "core/ViewFrustum.h"
#include "core/mesh/SceneObject.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace tovi {

// Culling spheres around an object's origin.
constexpr float kRingCullRadius = 2.0f;
constexpr float kPieceCullRadius = 10.0f;

// Whether a sphere may be seen: always without culling (or without a frustum).
inline bool sphereMayBeSeen(const glm::vec3& centre, float radius, bool culling, const ViewFrustum* frustum) {
    return !culling || frustum == nullptr || frustum->sphereInFrustum(centre, radius) != ViewFrustum::Outside;
}

// Calls draw(index, ring) for every ring that is neither passed nor (with
// culling on) outside the view, in list order. A passed ring is never tested
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
        if (!sphereMayBeSeen(glm::vec3(ring->modelMatrix[3]), kRingCullRadius, culling, frustum))
            continue;
        ++drawn;
        draw(i, *ring);
    }
    return drawn;
}

// Calls draw(index, piece) for every piece that (with culling on) may be
// seen, in list order. Returns how many were drawn.
template <typename Draw>
int drawVisiblePieces(const std::vector<scene::SceneObject*>& pieces, bool culling,
                      const ViewFrustum* frustum, Draw&& draw) {
    int drawn = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        scene::SceneObject* piece = pieces[i];
        if (piece == nullptr)
            continue;
        if (!sphereMayBeSeen(glm::vec3(piece->modelMatrix[3]), kPieceCullRadius, culling, frustum))
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

// What the HUD shows in a scene frame, top line first.
struct HudLine {
    int y = 0;
    std::string text;
};
struct HudLines {
    std::array<HudLine, 5> lines;
    int count = 0;
};

struct HudState {
    int raceState = 0;     // the race object's state; the race time runs only while racing
    double raceTime = 0.0; // milliseconds since the race started
    double bestTime = 0.0; // the controls' best time, milliseconds
    std::size_t passedRings = 0;
    std::size_t ringCount = 0;
    bool showFrameRate = false;
    double deltaTime = 0.0;
    int culledCount = 0; // of the previous scene frame
};

// The small print: status lines stacked up from the bottom left (top line
// first in the list), the key help down from the top, right of the race lines.
constexpr float kStatusLeft = 10.0f;
constexpr float kHelpLeft = 260.0f;
inline float statusLineY(std::size_t index, std::size_t count) {
    return 6.0f + kSmallLineStep * static_cast<float>(count - 1 - index);
}
inline float helpLineY(std::size_t index) {
    return 585.0f - kSmallLineStep * static_cast<float>(index);
}

inline HudLines hudLines(const HudState& state) {
    HudLines hud;
    auto add = [&hud](int y, std::string text) {
        hud.lines[static_cast<std::size_t>(hud.count)].y = y;
        hud.lines[static_cast<std::size_t>(hud.count)].text = std::move(text);
        ++hud.count;
    };
    add(575, state.raceState == MyCollision::Racing ? formatTime(state.raceTime) : std::string());
    add(555, formatTime(state.bestTime));
    add(535, ringCountLine(state.passedRings, state.ringCount));
    if (state.showFrameRate) {
        add(505, frameRateLine(state.deltaTime));
        add(400, culledLine(state.culledCount));
    }
    return hud;
}

} // namespace tovi
