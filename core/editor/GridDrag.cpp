// Dragging over the course grid.
#include "core/editor/GridDrag.h"

#include "core/editor/PieceJoin.h"

#include <cmath>

namespace tovi {

namespace {
const glm::vec3 kRaceStart(-0.88f, 65.8f, 21.2f);
}

bool rayAtHeight(const Ray& ray, float height, glm::vec3& point) {
    if (std::fabs(ray.direction.y) < 1e-4f)
        return false;
    const float along = (height - ray.origin.y) / ray.direction.y;
    if (along <= 0.0f || along > kPickReach)
        return false;
    point = ray.origin + ray.direction * along;
    return true;
}

bool rayOnUpright(const Ray& ray, const glm::vec3& through, glm::vec3& point) {
    glm::vec3 facing(through.x - ray.origin.x, 0.0f, through.z - ray.origin.z);
    if (glm::length(facing) < 1e-4f)
        return false;
    facing = glm::normalize(facing);
    const float across = glm::dot(ray.direction, facing);
    if (across < 1e-4f)
        return false;
    const float along = glm::dot(through - ray.origin, facing) / across;
    if (along <= 0.0f || along > kPickReach)
        return false;
    point = ray.origin + ray.direction * along;
    return true;
}

glm::vec3 wholeCells(const glm::vec3& grab, const glm::vec3& now) {
    return glm::vec3(std::round((now.x - grab.x) / kCellSize) * kCellSize, 0.0f,
                     std::round((now.z - grab.z) / kCellSize) * kCellSize);
}

float halfUnits(float grab, float now) {
    return std::round((now - grab) / kHeightStep) * kHeightStep;
}

glm::vec3 onCells(const glm::vec3& p) {
    return glm::vec3(kGridOriginX + std::round((p.x - kGridOriginX) / kCellSize) * kCellSize, p.y,
                     kGridOriginZ + std::round((p.z - kGridOriginZ) / kCellSize) * kCellSize);
}

bool dragAllowed(const glm::vec3& position, std::string& why) {
    if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z)) {
        why = "not a place";
        return false;
    }
    if (glm::distance(position, kRaceStart) > kDragReach) {
        why = "farther than 2000 units from the race start";
        return false;
    }
    if (position.y < kGroundHeight) {
        why = "below the ground";
        return false;
    }
    return true;
}

bool isFiniteMatrix(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

} // namespace tovi
