#pragma once
#include "core/view/Camera.h"

#include <glm/glm.hpp>

namespace tovi {
class InputSource;
struct PadCommands;

// The camera the controls steer: mouse look and the pad's right stick turn
// it, it follows the ball in a race and flies free in the editor.
class CameraControl {
  public:
    CameraControl(InputSource* input, int screenWidth, int screenHeight);

    // Holds the cursor at the window's centre (a paused race: the camera
    // does not jump on resume).
    void holdCursor();
    // Mouse look: the cursor's way from the centre turns the camera, and the
    // cursor goes back to the centre. On the first frame with the focus
    // (focusReturned) it only goes back: where it was meanwhile is no turn.
    void look(bool focusReturned);
    // The pad's right stick over dt seconds.
    void swing(const PadCommands& pad, float dt);
    // The free camera starts where the follow camera was, looking the same way.
    void startFlying();
    // The follow camera looks the way the free one did.
    void startFollowing();
    // The flying keys: W/S or Up/Down along the view, A/D or Left/Right
    // sideways, Space and Left Shift up and down; N prints the angle.
    void fly(float dt, const CameraAxes& axes);
    // The free camera's view from its position along the axes.
    void lookFlying(const CameraAxes& axes);
    // The follow camera's view of the ball.
    void follow(const glm::vec3& ball);
    // The projection for the framebuffer's aspect.
    void project();

    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f};
    glm::vec3 position{0.0f};
    float horizontalAngle = 3.14f;
    float verticalAngle = 0.0f;
    float speed = 6.0f;
    float mouseSpeed = 0.001f;
    bool invertY = false; // the mouse's up looks down
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    // Width over height of the framebuffer; the projection follows it.
    float aspect = 4.0f / 3.0f;
    // The window's size in screen coordinates: the cursor is held at its
    // centre. Kept up to date when the window changes size.
    int screenWidth;
    int screenHeight;

  private:
    InputSource* window;
};

} // namespace tovi
