#pragma once

namespace tovi {

// The offset of the lights that circle above every track piece.
struct Rotationposition {
    Rotationposition(float x = 0.0f, float z = 0.0f, float a = 0.0f, float r = 4.0f)
        : offsetX(x), offsetZ(z), angle(a), radius(r) {}
    virtual ~Rotationposition() = default;

    // 20 degrees per second, never wrapped.
    void advance(double deltaTime);

    float offsetX;
    float offsetZ;
    float angle; // degrees
    float radius;
};

} // namespace tovi
