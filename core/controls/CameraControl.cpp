#include "core/controls/CameraControl.h"

#include "core/input/Gamepad.h"
#include "core/input/Input.h"
#include "core/input/Keys.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <iostream>

namespace tovi {

namespace {
constexpr float kPi = 3.14159265f;
// A right stick held over fully swings the camera this fast (radians per
// second), about as fast as a brisk mouse.
constexpr float kPadSwing = 2.5f;

// Turns the free camera's look angles into the ones of the follow camera
// looking the same way, and back: the follow camera sits on the far side of
// the ball from where it looks.
float oppositeAngle(float horizontalAngle) {
    return static_cast<float>(std::remainder(static_cast<double>(horizontalAngle) + kPi, 2.0 * kPi));
}
} // namespace

CameraControl::CameraControl(InputSource* input, int width, int height)
    : screenWidth(width), screenHeight(height), window(input) {}

void CameraControl::holdCursor() {
    window->setCursorPos(screenWidth / 2, screenHeight / 2);
}

void CameraControl::look(bool focusReturned) {
    double x = 0.0;
    double y = 0.0;
    window->cursorPos(x, y);
    const int centreX = screenWidth / 2;
    const int centreY = screenHeight / 2;
    window->setCursorPos(centreX, centreY);
    if (!focusReturned) {
        horizontalAngle += mouseSpeed * static_cast<float>(static_cast<double>(centreX) - x);
        verticalAngle += ((invertY ? -mouseSpeed : mouseSpeed) / 1.5f) *
                         static_cast<float>(static_cast<double>(centreY) - y);
    }
}

void CameraControl::swing(const PadCommands& pad, float dt) {
    horizontalAngle -= kPadSwing * pad.swingRight * dt;
    verticalAngle += kPadSwing / 1.5f * pad.swingUp * dt;
}

void CameraControl::startFlying() {
    position = eye;
    const glm::vec3 look = target - eye;
    const float length = glm::length(look);
    if (length > 1e-6f && std::isfinite(length)) {
        const glm::vec3 d = look / length;
        horizontalAngle = static_cast<float>(std::atan2(static_cast<double>(d.x), static_cast<double>(d.z)));
        verticalAngle = std::asin(glm::clamp(d.y, -1.0f, 1.0f));
    }
}

void CameraControl::startFollowing() {
    horizontalAngle = oppositeAngle(horizontalAngle);
}

void CameraControl::fly(float dt, const CameraAxes& axes) {
    auto pressed = [&](int key) { return window->keyPressed(key); };
    if (pressed(key::Up) || pressed(key::W))
        position += axes.direction * dt * speed;
    if (pressed(key::Down) || pressed(key::S))
        position -= axes.direction * dt * speed;
    if (pressed(key::Right) || pressed(key::D))
        position += axes.right * dt * speed;
    if (pressed(key::Left) || pressed(key::A))
        position -= axes.right * dt * speed;
    if (pressed(key::Space))
        position.y += speed * dt;
    if (pressed(key::LeftShift))
        position.y -= speed * dt;
    if (pressed(key::N))
        std::cout << horizontalAngle << std::endl;
}

void CameraControl::lookFlying(const CameraAxes& axes) {
    eye = position;
    target = position + axes.direction;
    view = glm::lookAt(eye, target, axes.up);
}

void CameraControl::follow(const glm::vec3& ball) {
    target = ball;
    position = followCameraPosition(target, horizontalAngle);
    eye = position;
    view = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
}

void CameraControl::project() {
    projection = cameraProjection(aspect);
}

} // namespace tovi
