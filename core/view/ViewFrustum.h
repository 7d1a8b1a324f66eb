#pragma once
#include <glm/glm.hpp>

// Sphere visibility test in the camera's own axes (no plane equations).
class ViewFrustum {
  public:
    enum Result { Outside = 0, Intersect = 1, Inside = 2 };

    void setCamInternals(float halfAngle, float aspectRatio, float nearDistance, float farDistance);
    void setCamDef(const glm::vec3& eye, const glm::vec3& target, const glm::vec3& up);
    int sphereInFrustum(const glm::vec3& centre, float radius) const;
    // Only the depth part of that test: false when the sphere lies wholly
    // beyond the far plane or behind the near one, where nothing of it can
    // reach a pixel.
    bool sphereWithinDepth(const glm::vec3& centre, float radius) const;

    glm::vec3 axisX{0.0f};
    glm::vec3 axisY{0.0f};
    glm::vec3 axisZ{0.0f};
    glm::vec3 cameraPosition{0.0f};
    float nearDistance = 0.0f;
    float farDistance = 0.0f;
    float aspectRatio = 0.0f;
    float halfAngle = 0.0f;
    float sphereFactorX = 0.0f;
    float sphereFactorY = 0.0f;
    double tangent = 0.0;
};
