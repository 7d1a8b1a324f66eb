#pragma once
#include <array>

namespace tovi {

// A gamepad as a standard mapping reports it: the order of axes and buttons
// is GLFW's gamepad layout (an Xbox-style pad).
struct GamepadState {
    enum Axis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger, AxisCount };
    enum Button {
        A,
        B,
        X,
        Y,
        LeftBumper,
        RightBumper,
        Back,
        Start,
        Guide,
        LeftThumb,
        RightThumb,
        DpadUp,
        DpadRight,
        DpadDown,
        DpadLeft,
        ButtonCount
    };
    // Sticks from -1 to 1, x to the right, y downwards.
    std::array<float, AxisCount> axes{};
    std::array<bool, ButtonCount> buttons{};
};

// What the pad asks of the game in one frame.
struct PadCommands {
    // The steering push as a share (0 to 1) of the W/A/S/D push, and its
    // direction as the push's angle: 0 along the ball's motion, +pi/2 to its
    // left, -pi/2 to its right, pi against it.
    float push = 0.0f;
    double pushAngle = 0.0;
    // Camera swing, -1 to 1 each: to the right, and upwards.
    float swingRight = 0.0f;
    float swingUp = 0.0f;
    // Button presses (one frame each, when the button goes down).
    bool enter = false;   // A or Start on the start, win or lose screen
    bool pause = false;   // Start during a race
    bool restart = false; // Back
    // The pad's left or right on the start, win or lose screen: the previous
    // (-1) or next (1) course.
    int courseStep = 0;
};

// Sticks inside this share of their travel count as centred (the player may
// choose another in the options, below 1); beyond it the travel is rescaled
// so the response starts at zero.
constexpr float kStickDeadZone = 0.2f;

// A stick's deflection with the radial dead zone applied: the same direction,
// length 0 inside the dead zone rising to 1 at full travel.
void applyDeadZone(float& x, float& y, float deadZone = kStickDeadZone);

// Turns the pad's state into commands, frame by frame; it remembers the
// buttons to report presses once.
class GamepadMapper {
  public:
    // pad: the frame's state, or null when no pad is connected. racing: a race
    // runs (Start pauses it; A and Start stand for Enter otherwise).
    PadCommands update(const GamepadState* pad, bool racing);
    float deadZone = kStickDeadZone;

  private:
    std::array<bool, GamepadState::ButtonCount> held{};
};

} // namespace tovi
