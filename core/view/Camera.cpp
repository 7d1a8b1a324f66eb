#include "core/view/Camera.h"

#include <cmath>

namespace tovi {

CameraAxes cameraAxes(float horizontalAngle, float verticalAngle) {
    const double h = horizontalAngle;
    const double v = verticalAngle;
    CameraAxes axes;
    axes.direction = glm::vec3(static_cast<float>(std::cos(v) * std::sin(h)), static_cast<float>(std::sin(v)),
                               static_cast<float>(std::cos(v) * std::cos(h)));
    const double turned = h - static_cast<double>(1.57f);
    axes.right = glm::vec3(static_cast<float>(std::sin(turned)), 0.0f, static_cast<float>(std::cos(turned)));
    axes.up = glm::cross(axes.right, axes.direction);
    return axes;
}

glm::vec3 followCameraPosition(const glm::vec3& ball, float horizontalAngle) {
    return glm::vec3(ball.x + 6.0f * std::sin(horizontalAngle), ball.y + 6.0f,
                     ball.z + 6.0f * std::cos(horizontalAngle));
}

glm::mat4 cameraProjection(float aspect) {
    const double t = std::tan(static_cast<double>(kCameraHalfAngle));
    glm::mat4 p(0.0f);
    p[0][0] = static_cast<float>(1.0 / (t * static_cast<double>(aspect)));
    p[1][1] = static_cast<float>(1.0 / t);
    p[2][2] = -1.002002f;
    p[2][3] = -1.0f;
    p[3][2] = -0.2002002f;
    return p;
}

} // namespace tovi
