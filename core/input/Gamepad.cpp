#include "core/input/Gamepad.h"

#include <algorithm>
#include <cmath>

namespace tovi {

void applyDeadZone(float& x, float& y, float deadZone) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        x = y = 0.0f;
        return;
    }
    const float length = std::hypot(x, y);
    deadZone = std::clamp(deadZone, 0.0f, 0.9f);
    if (length <= deadZone) {
        x = y = 0.0f;
        return;
    }
    const float scaled = std::min(1.0f, (length - deadZone) / (1.0f - deadZone));
    x *= scaled / length;
    y *= scaled / length;
}

PadCommands GamepadMapper::update(const GamepadState* pad, bool racing) {
    PadCommands out;
    if (pad == nullptr) {
        // Unplugged: nothing is held, so a button held while the pad comes
        // back counts as a press.
        held.fill(false);
        return out;
    }
    auto pressed = [&](GamepadState::Button b) {
        return pad->buttons[static_cast<size_t>(b)] && !held[static_cast<size_t>(b)];
    };

    float side = pad->axes[GamepadState::LeftX];
    float back = pad->axes[GamepadState::LeftY];
    applyDeadZone(side, back, deadZone);
    out.push = std::hypot(side, back);
    if (out.push > 0.0f)
        out.pushAngle = std::atan2(-static_cast<double>(side), -static_cast<double>(back));

    float right = pad->axes[GamepadState::RightX];
    float down = pad->axes[GamepadState::RightY];
    applyDeadZone(right, down, deadZone);
    out.swingRight = right;
    out.swingUp = -down;

    const bool start = pressed(GamepadState::Start);
    out.enter = !racing && (start || pressed(GamepadState::A));
    out.pause = racing && start;
    out.restart = pressed(GamepadState::Back);
    if (!racing)
        out.courseStep =
            (pressed(GamepadState::DpadRight) ? 1 : 0) - (pressed(GamepadState::DpadLeft) ? 1 : 0);
    held = pad->buttons;
    return out;
}

} // namespace tovi
