// Picking by a ray from the camera and the overlap test between pieces.
#include "core/editor/Picking.h"

#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {
// Joined pieces share an edge, and their lips reach past it: the pieces are
// 4.54 long on a 4-unit cell, so joined bounds share 0.54 (and the bodies'
// collision margins) across the joint. Pieces that cut into each other share
// more than this both across x and z.
constexpr float kTouch = 0.75f;

// Where the ray first meets the sphere, if in front of the origin.
bool raySphere(const Ray& ray, const glm::vec3& centre, float radius, float& distance) {
    const glm::vec3 toCentre = centre - ray.origin;
    const float along = glm::dot(toCentre, ray.direction);
    const float across2 = glm::dot(toCentre, toCentre) - along * along;
    if (across2 > radius * radius)
        return false;
    const float half = std::sqrt(radius * radius - across2);
    distance = along - half >= 0.0f ? along - half : along + half;
    return distance >= 0.0f;
}
} // namespace

Ray cursorRay(const glm::mat4& view, const glm::mat4& projection, const glm::vec2& cursor,
              const glm::vec2& window) {
    const glm::vec2 size = glm::max(window, glm::vec2(1.0f));
    const float x = 2.0f * cursor.x / size.x - 1.0f;
    const float y = 1.0f - 2.0f * cursor.y / size.y;
    const glm::mat4 back = glm::inverse(projection * view);
    glm::vec4 near = back * glm::vec4(x, y, -1.0f, 1.0f);
    glm::vec4 far = back * glm::vec4(x, y, 1.0f, 1.0f);
    near /= near.w;
    far /= far.w;
    Ray ray;
    ray.origin = glm::vec3(glm::inverse(view)[3]);
    ray.direction = glm::normalize(glm::vec3(far) - glm::vec3(near));
    return ray;
}

Pick pickObject(const Ray& ray, const PhysicsWorld& world, std::size_t pieceCount,
                const std::vector<scene::SceneObject*>& rings) {
    Pick best;
    best.distance = kPickReach;
    const glm::vec3 end = ray.origin + ray.direction * kPickReach;
    for (std::size_t i = 0; i < pieceCount; ++i) {
        float fraction = 1.0f;
        if (world.rayHitsTrack(static_cast<int>(i), ray.origin, end, fraction) &&
            fraction * kPickReach < best.distance) {
            best = Pick{true, false, static_cast<int>(i), fraction * kPickReach};
        }
    }
    for (std::size_t i = 0; i < rings.size(); ++i) {
        float distance = 0.0f;
        if (raySphere(ray, glm::vec3(rings[i]->modelMatrix[3]), kRingPickRadius, distance) &&
            distance < best.distance)
            best = Pick{true, true, static_cast<int>(i), distance};
    }
    return best;
}

int overlappingPiece(const PhysicsWorld& world, std::size_t pieceCount, int index) {
    glm::vec3 low, high;
    if (!world.trackBounds(index, low, high))
        return -1;
    for (std::size_t i = 0; i < pieceCount; ++i) {
        glm::vec3 otherLow, otherHigh;
        if (static_cast<int>(i) == index || !world.trackBounds(static_cast<int>(i), otherLow, otherHigh))
            continue;
        const glm::vec3 shared = glm::min(high, otherHigh) - glm::max(low, otherLow);
        // Across x and z more than a touch; in height, any common layer.
        if (shared.x > kTouch && shared.z > kTouch && shared.y >= 0.0f)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace tovi
