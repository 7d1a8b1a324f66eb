// Sphere culling in the camera's own axes: the centre's depth is tested
// against the near and far distances, its sideways and upward offsets against
// the opening of the view at that depth, each bound widened by the radius.
#include "core/view/ViewFrustum.h"

#include <cmath>

void ViewFrustum::setCamInternals(float halfAngle_, float aspectRatio_, float nearDistance_,
                                  float farDistance_) {
    halfAngle = halfAngle_;
    aspectRatio = aspectRatio_;
    nearDistance = nearDistance_;
    farDistance = farDistance_;
    // The tangent is kept at float precision, held in a double.
    tangent = static_cast<float>(std::tan(static_cast<double>(halfAngle)));
    sphereFactorY = static_cast<float>(1.0 / std::cos(static_cast<double>(halfAngle)));
    sphereFactorX = static_cast<float>(1.0 / std::cos(std::atan(tangent * aspectRatio)));
}

void ViewFrustum::setCamDef(const glm::vec3& eye, const glm::vec3& target, const glm::vec3& up) {
    cameraPosition = eye;
    axisZ = eye - target;
    const float lengthZ = glm::length(axisZ);
    if (lengthZ != 0.0f)
        axisZ /= lengthZ;
    axisX = glm::cross(up, axisZ);
    const float lengthX = glm::length(axisX);
    if (lengthX != 0.0f)
        axisX /= lengthX;
    axisY = glm::cross(axisZ, axisX);
}

bool ViewFrustum::sphereWithinDepth(const glm::vec3& centre, float radius) const {
    const float z = glm::dot(centre - cameraPosition, -axisZ);
    return z <= farDistance + radius && z >= nearDistance - radius;
}

int ViewFrustum::sphereInFrustum(const glm::vec3& centre, float radius) const {
    const glm::vec3 v = centre - cameraPosition;

    const float z = glm::dot(v, -axisZ);
    if (z > farDistance + radius || z < nearDistance - radius)
        return Outside;

    const double halfHeight = tangent * z;
    const float h = static_cast<float>(halfHeight);
    const float w = static_cast<float>(aspectRatio * halfHeight);
    const float dx = sphereFactorX * radius;
    const float dy = sphereFactorY * radius;

    const float x = glm::dot(v, axisX);
    if (x > w + dx || x < -w - dx)
        return Outside;

    const float y = glm::dot(v, axisY);
    if (y > h + dy || y < -h - dy)
        return Outside;

    if (z > farDistance - radius || z < nearDistance + radius)
        return Intersect;
    if (y > h - dy || y < dy - h)
        return Intersect;
    if (x > w - dx || x < dx - w)
        return Intersect;
    return Inside;
}
