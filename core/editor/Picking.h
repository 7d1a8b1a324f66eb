#pragma once
// What the editor's mouse points at: the ray from the camera through the
// cursor, the nearest piece or ring on it, and which pieces cut into which.
#include <glm/glm.hpp>

#include <vector>

namespace tovi {
class PhysicsWorld;
namespace scene {
class SceneObject;
}

struct Ray {
    glm::vec3 origin{0.0f};
    glm::vec3 direction{0.0f, 0.0f, -1.0f}; // of length one
};

// The ray through the cursor (pixels from the window's top left) for a
// camera with these view and projection matrices over a window of this size.
Ray cursorRay(const glm::mat4& view, const glm::mat4& projection, const glm::vec2& cursor,
              const glm::vec2& window);

// A ring is picked within this distance of its centre.
constexpr float kRingPickRadius = 1.0f;
// Rays reach this far.
constexpr float kPickReach = 2000.0f;

struct Pick {
    bool hit = false;
    bool ring = false;
    int index = 0;
    float distance = 0.0f;
};

// The nearest piece (by its collision body) or ring (by its bounds) on the
// ray; hit false when the ray meets nothing within kPickReach.
Pick pickObject(const Ray& ray, const PhysicsWorld& world, std::size_t pieceCount,
                const std::vector<scene::SceneObject*>& rings);

// The first other piece whose collision body cuts into piece index's by more
// than a touch (joined pieces touch along an edge and do not count), or -1.
int overlappingPiece(const PhysicsWorld& world, std::size_t pieceCount, int index);

} // namespace tovi
