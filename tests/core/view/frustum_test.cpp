// View-frustum culling with the game's camera internals.
#include "core/view/ViewFrustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ViewFrustum gameFrustum(const glm::vec3& eye, const glm::vec3& target) {
    ViewFrustum f;
    f.setCamInternals(0.39269909f, 4.0f / 3.0f, 0.1f, 100.0f);
    f.setCamDef(eye, target, glm::vec3(0, 1, 0));
    return f;
}

} // namespace

TEST(ViewFrustum, InternalsAndAxes) {
    const ViewFrustum f = gameFrustum({1, 2, 3}, {1, 2, -7});
    EXPECT_FLOAT_EQ(static_cast<float>(f.tangent), 0.41421357f);
    EXPECT_FLOAT_EQ(f.sphereFactorY, 1.0f / std::cos(0.39269909f));
    EXPECT_NEAR(f.sphereFactorX, std::sqrt(1.0 + std::pow(f.tangent * 4.0 / 3.0, 2.0)), 1e-6);
    EXPECT_EQ(f.axisZ, glm::vec3(0, 0, 1));
    EXPECT_EQ(f.axisX, glm::vec3(1, 0, 0));
    EXPECT_EQ(f.axisY, glm::vec3(0, 1, 0));
}

TEST(ViewFrustum, DepthBounds) {
    // Looking along -z from a point off the origin, as in a race.
    const glm::vec3 eye(3, 10, -4);
    const ViewFrustum f = gameFrustum(eye, eye + glm::vec3(0, 0, -1));
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, -101), 2.0f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, -103), 2.0f), ViewFrustum::Outside);
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, -50), 2.0f), ViewFrustum::Inside);
    // Behind the camera: out once the centre is further back than radius - near.
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, 2.0f), 2.0f), ViewFrustum::Outside);
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, 5.0f), 2.0f), ViewFrustum::Outside);
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, 1.0f), 2.0f), ViewFrustum::Intersect);
    // Right at the near plane.
    EXPECT_EQ(f.sphereInFrustum(eye + glm::vec3(0, 0, -0.5f), 1.0f), ViewFrustum::Intersect);
}

TEST(ViewFrustum, SideBoundsWidenedByTheRadius) {
    const ViewFrustum f = gameFrustum({0, 0, 0}, {0, 0, -1});
    const float z = 40.0f;
    const float halfWidth = static_cast<float>(f.tangent * z * (4.0 / 3.0));
    const float halfHeight = static_cast<float>(f.tangent * z);
    const float reachX = 10.0f * f.sphereFactorX;
    const float reachY = 10.0f * f.sphereFactorY;
    // A track piece (radius 10) centred outside the view but within its reach.
    EXPECT_EQ(f.sphereInFrustum({halfWidth + reachX - 0.5f, 0, -z}, 10.0f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum({-(halfWidth + reachX - 0.5f), 0, -z}, 10.0f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum({halfWidth + reachX + 0.5f, 0, -z}, 10.0f), ViewFrustum::Outside);
    EXPECT_EQ(f.sphereInFrustum({0, halfHeight + reachY - 0.5f, -z}, 10.0f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum({0, -(halfHeight + reachY + 0.5f), -z}, 10.0f), ViewFrustum::Outside);
    // The view is wider than high: a point beyond the top but inside the side.
    EXPECT_EQ(f.sphereInFrustum({halfHeight + 2.0f, 0, -z}, 1.0f), ViewFrustum::Inside);
    EXPECT_EQ(f.sphereInFrustum({0, halfHeight + 2.0f, -z}, 1.0f), ViewFrustum::Outside);
}

TEST(ViewFrustum, EyeOnTargetSeesEveryLargeSphereAsIntersecting) {
    const ViewFrustum f = gameFrustum({5, 5, 5}, {5, 5, 5});
    EXPECT_EQ(f.axisZ, glm::vec3(0));
    EXPECT_EQ(f.axisX, glm::vec3(0));
    EXPECT_EQ(f.sphereInFrustum({1000, -30, 7}, 0.2f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum({5, 5, 5}, 10.0f), ViewFrustum::Intersect);
    EXPECT_EQ(f.sphereInFrustum({5, 5, 5}, 0.05f), ViewFrustum::Outside);
}
