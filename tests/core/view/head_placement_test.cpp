// The ball's head: on top of the ball, leaning into the last horizontal step.
#include "core/view/HeadPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Where the top of the head points, in world space.
glm::vec3 headUp(const glm::mat4& m) {
    return glm::normalize(glm::vec3(m * glm::vec4(0, 1, 0, 0)));
}

bool allFinite(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    return true;
}

void expectNear(const glm::vec3& a, const glm::vec3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

} // namespace

TEST(HeadPlacement, LeansThirtyDegreesIntoTheMove) {
    tovi::scene::HeadPlacement head;
    head.place({0, 1, 0});
    const glm::mat4 m = head.place({0.2f, 1, 0});
    const glm::vec3 up = headUp(m);
    expectNear(up, glm::vec3(0.5f, std::sqrt(3.0f) / 2.0f, 0.0f)); // towards +x by 30 degrees
    // Lifted 0.3 along the tilted vertical, turned 90 degrees about y.
    expectNear(glm::vec3(m[3]), glm::vec3(0.2f, 1, 0) + 0.3f * up);
    expectNear(glm::normalize(glm::vec3(m[0])), glm::vec3(0, 0, -1));

    // Moving along -z leans towards -z, whatever the speed.
    head.place({0.2f, 1, -50});
    expectNear(headUp(head.place({0.2f, 1, -50.001f})), glm::vec3(0, std::sqrt(3.0f) / 2.0f, -0.5f));
}

TEST(HeadPlacement, RaceStartJumpLeansAlongTheJumpForOneCall) {
    tovi::scene::HeadPlacement head;
    head.place({5, 0, 5});
    const glm::vec3 start(-0.88f, 65.8f, 21.2f);
    const glm::vec3 jump = glm::normalize(glm::vec3(start.x - 5, 0, start.z - 5));
    const glm::vec3 up = headUp(head.place(start));
    expectNear(up, 0.5f * jump + glm::vec3(0, std::sqrt(3.0f) / 2.0f, 0));
    // The next step decides the lean again.
    expectNear(headUp(head.place(start + glm::vec3(-0.01f, 0, 0))),
               glm::vec3(-0.5f, std::sqrt(3.0f) / 2.0f, 0));
}

TEST(HeadPlacement, BallAtRestKeepsThePreviousTilt) {
    tovi::scene::HeadPlacement head;
    // Never moved: upright.
    const glm::mat4 still = head.place({0, 2, 0});
    ASSERT_TRUE(allFinite(still));
    expectNear(headUp(still), glm::vec3(0, 1, 0));
    expectNear(glm::vec3(still[3]), glm::vec3(0, 2.3f, 0));

    const glm::mat4 moved = head.place({1, 2, 1});
    const glm::mat4 rest = head.place({1, 2, 1});
    ASSERT_TRUE(allFinite(rest));
    EXPECT_EQ(rest, moved);
    // Falling straight down is no horizontal step either.
    const glm::mat4 falling = head.place({1, -3, 1});
    expectNear(headUp(falling), headUp(moved));
    // Tiny steps still give a proper lean.
    expectNear(headUp(head.place({1 + 1e-6f, -3, 1})), glm::vec3(0.5f, std::sqrt(3.0f) / 2.0f, 0));
}

TEST(HeadPlacement, NonFinitePositionsNeverReachTheMatrix) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float big = std::numeric_limits<float>::max();
    tovi::scene::HeadPlacement head;
    head.place({1, 1, 1});
    const glm::mat4 before = head.place({2, 1, 1});
    EXPECT_TRUE(allFinite(head.place({nan, nan, nan})));
    EXPECT_TRUE(allFinite(head.place({inf, 1, -inf})));
    EXPECT_TRUE(allFinite(head.place({big, 1, -big})));
    EXPECT_TRUE(allFinite(head.place({-big, 1, big})));
    // A broken frame does not spoil the next good one.
    head = tovi::scene::HeadPlacement();
    head.place({1, 1, 1});
    head.place({2, 1, 1});
    head.place({nan, 1, nan});
    EXPECT_EQ(head.place({2, 1, 1}), before);
}
