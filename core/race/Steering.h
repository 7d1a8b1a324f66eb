#pragma once
// The player's push on the ball, shared by the controls and the
// play-testing bot.

namespace tovi {
class PhysicsWorld;

// The keys that push the ball, and the turn of the push about y each gives
// (radians; positive turns +z towards +x).
enum class Steer { None, W, S, A, D };
double steerAngle(Steer key);

// The steering push on the physics ball (what W, S, A and D do): its linear
// velocity turned about y by angle (radians; positive turns +z towards +x),
// normalised, scaled by 0.05 and applied at the ball's world position, so it
// also adds the torque p x F. A zero or non-finite velocity pushes nothing.
// share (0 to 1) scales the push: a gamepad stick pushes as far as it leans.
void pushBall(PhysicsWorld& world, double angle, float share = 1.0f);

} // namespace tovi
