#pragma once
// The maths of dragging objects over the course grid with the mouse: where
// the cursor's ray meets the drag plane, whole cells across, half units up,
// and how far from the course a drag may go.
#include "core/editor/Picking.h"

#include <glm/glm.hpp>

#include <string>

namespace tovi {

// A drag may not take an object farther than this from the race start.
constexpr float kDragReach = 2000.0f;
// Nor below the ground plane.
constexpr float kGroundHeight = -5.0f;

// Where the ray meets the level plane at height y; false when it runs
// along the plane or away from it.
bool rayAtHeight(const Ray& ray, float height, glm::vec3& point);
// Where the ray meets the upright plane through `through` that faces the
// camera across; false when it does not meet it in front.
bool rayOnUpright(const Ray& ray, const glm::vec3& through, glm::vec3& point);

// The offset from grab to now in whole cells across x and z (nearest).
glm::vec3 wholeCells(const glm::vec3& grab, const glm::vec3& now);
// The height from grab to now in whole half units (nearest).
float halfUnits(float grab, float now);
// A position on the grid's cells in x and z (its height kept).
glm::vec3 onCells(const glm::vec3& position);

// Whether an object may be dragged to position; why not in `why`.
bool dragAllowed(const glm::vec3& position, std::string& why);

// Whether every entry of the matrix is a number.
bool isFiniteMatrix(const glm::mat4& m);

} // namespace tovi
