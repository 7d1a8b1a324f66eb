#pragma once
// The camera's maths: look directions from the mouse angles, the follow
// camera behind the ball, the projection.
#include <glm/glm.hpp>

namespace tovi {

struct CameraAxes {
    glm::vec3 direction{0.0f, 0.0f, 1.0f}; // where the camera looks
    glm::vec3 right{1.0f, 0.0f, 0.0f};     // level, to the right of direction
    glm::vec3 up{0.0f, 1.0f, 0.0f};        // right x direction
};

// Horizontal angle h about y (0 looks along +z) and vertical angle v, radians.
CameraAxes cameraAxes(float horizontalAngle, float verticalAngle);

// The follow camera: 6 behind the ball at the horizontal angle and 6 above it.
glm::vec3 followCameraPosition(const glm::vec3& ball, float horizontalAngle);

// Half the camera's vertical opening (22.5 degrees) and its depth range; the
// culling frustum takes the same.
constexpr float kCameraHalfAngle = 0.39269909f;
constexpr float kCameraNear = 0.1f;
constexpr float kCameraFar = 100.0f;

// The camera's projection: 45 degrees high, as wide as the aspect ratio
// (width over height) says, 0.1 to 100.
glm::mat4 cameraProjection(float aspect);

} // namespace tovi
