// Where the ball's head sits: on top of the ball, leaning into the last
// horizontal step the ball made.
#include "core/view/HeadPlacement.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace tovi::scene {

glm::mat4 HeadPlacement::place(const glm::vec3& ballPosition) {
    const bool finiteStep = std::isfinite(ballPosition.x) && std::isfinite(ballPosition.z);
    if (finiteStep) {
        // In double precision the step can neither overflow nor vanish.
        const double dx = static_cast<double>(ballPosition.x) - previousX;
        const double dz = static_cast<double>(ballPosition.z) - previousZ;
        const double length = std::hypot(dx, dz);
        // A ball that has not moved keeps its previous tilt (none before the
        // first move).
        if (length > 0.0)
            tiltAxis = glm::vec3(static_cast<float>(dx / length), 0.0f, static_cast<float>(dz / length));
        previousX = ballPosition.x;
        previousZ = ballPosition.z;
    }

    // A broken (non-finite) position must not reach the matrix: keep the
    // last known x and z, and put y on the ground level of the model.
    const glm::vec3 position(std::isfinite(ballPosition.x) ? ballPosition.x : previousX,
                             std::isfinite(ballPosition.y) ? ballPosition.y : 0.0f,
                             std::isfinite(ballPosition.z) ? ballPosition.z : previousZ);

    const glm::mat4 identity(1.0f);
    glm::mat4 m = glm::translate(identity, position);
    m = glm::rotate(m, glm::radians(90.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    if (tiltAxis != glm::vec3(0.0f))
        m = glm::rotate(m, glm::radians(30.0f), tiltAxis);
    return glm::translate(m, glm::vec3(0.0f, 0.3f, 0.0f));
}

} // namespace tovi::scene
