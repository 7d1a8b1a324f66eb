#pragma once
#include <glm/glm.hpp>

namespace tovi::scene {

// Places the ball's head: 0.3 above the ball, turned 90 degrees about the
// vertical and tilted 30 degrees into the last horizontal step. When the ball
// has not moved horizontally the previous tilt is kept.
class HeadPlacement {
  public:
    glm::mat4 place(const glm::vec3& ballPosition);

    float previousX = 0.0f;
    float previousZ = 0.0f;
    glm::vec3 tiltAxis{0.0f}; // zero until the ball first moves
};

} // namespace tovi::scene
