// A framebuffer of any size, a minimised one included: the camera and the
// culling frustum widen with it, text and pictures keep their shape, and full
// screen goes to the monitor under most of the window.
#include "core/view/Camera.h"
#include "core/view/ScreenLayout.h"
#include "core/view/ViewFrustum.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ScreenLayout, CameraAndFrustumFollowTheFramebuffer) {
    EXPECT_FLOAT_EQ(tovi::viewAspect(1200, 600), 2.0f);
    EXPECT_FLOAT_EQ(tovi::viewAspect(800, 600), 4.0f / 3.0f);
    const int sizes[][2] = {{0, 0}, {0, 600}, {800, 0}, {-3, 5}, {1, 1}, {1, 16384}, {16384, 1}};
    for (const auto& size : sizes) {
        const float aspect = tovi::viewAspect(size[0], size[1]);
        EXPECT_TRUE(std::isfinite(aspect) && aspect > 0.0f) << size[0] << " x " << size[1];
        // Any entry not finite would spoil the product.
        const glm::vec4 p = tovi::cameraProjection(aspect) * glm::vec4(1.0f, 2.0f, -3.0f, 1.0f);
        EXPECT_TRUE(std::isfinite(p.x + p.y + p.z + p.w)) << size[0] << " x " << size[1];
        ViewFrustum f;
        f.setCamInternals(tovi::kCameraHalfAngle, aspect, tovi::kCameraNear, tovi::kCameraFar);
        EXPECT_TRUE(std::isfinite(f.sphereFactorX)) << size[0] << " x " << size[1];
    }
    EXPECT_FLOAT_EQ(tovi::viewAspect(0, 600), 4.0f / 3.0f);

    // A 2:1 window sees further to the sides than 4:3, and what the frustum
    // keeps is what the projection puts on the screen's edge.
    ViewFrustum narrow, wide;
    narrow.setCamInternals(tovi::kCameraHalfAngle, 4.0f / 3.0f, tovi::kCameraNear, tovi::kCameraFar);
    wide.setCamInternals(tovi::kCameraHalfAngle, 2.0f, tovi::kCameraNear, tovi::kCameraFar);
    narrow.setCamDef({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    wide.setCamDef({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    const float edgeX = static_cast<float>(std::tan(0.39269909) * 2.0 * 10.0);
    const glm::vec3 side(edgeX - 1.0f, 0.0f, -10.0f);
    EXPECT_EQ(narrow.sphereInFrustum(side, 0.5f), ViewFrustum::Outside);
    EXPECT_EQ(wide.sphereInFrustum(side, 0.5f), ViewFrustum::Inside);
    const glm::vec4 clip = tovi::cameraProjection(2.0f) * glm::vec4(edgeX, 0.0f, -10.0f, 1.0f);
    EXPECT_NEAR(clip.x / clip.w, 1.0f, 1e-5f);
}

TEST(ScreenLayout, TextPicturesAndMonitorKeepTheirShape) {
    // 800 x 600 maps one to one, as the text space always did.
    tovi::TextPlacement t = tovi::textPlacement(800, 600);
    EXPECT_FLOAT_EQ(t.scale, 1.0f);
    EXPECT_EQ(tovi::textLineOffset(t, 575, true), glm::vec2(0.0f));
    // Wide: glyphs keep their height, the centred line moves to the middle.
    t = tovi::textPlacement(1600, 600);
    EXPECT_FLOAT_EQ(t.scale, 1.0f);
    EXPECT_EQ(tovi::textLineOffset(t, 420, true), glm::vec2(400.0f, 0.0f));
    EXPECT_EQ(tovi::textLineOffset(t, 575, false), glm::vec2(0.0f));
    // Tall: lines fit the width; upper lines stay at the top, lower at the bottom.
    t = tovi::textPlacement(400, 1200);
    EXPECT_FLOAT_EQ(t.scale, 0.5f);
    EXPECT_EQ(tovi::textLineOffset(t, 575, false), glm::vec2(0.0f, 900.0f));
    EXPECT_EQ(tovi::textLineOffset(t, 20, false), glm::vec2(0.0f));
    // The text shader stretches its space over the window: a point at the
    // bottom left of an upper line lands 900 pixels up, (0, 450) in that space.
    std::vector<glm::vec2> points = {{0.0f, 575.0f}, {800.0f, 595.0f}};
    tovi::placeTextLine(t, 575, false, points);
    EXPECT_EQ(points[0], glm::vec2(0.0f, (900.0f + 287.5f) / 2.0f));
    EXPECT_EQ(points[1], glm::vec2(800.0f, (900.0f + 297.5f) / 2.0f));
    // Tiny: glyphs stay readable, the lines keep to their corners.
    t = tovi::textPlacement(100, 100);
    EXPECT_FLOAT_EQ(t.scale, tovi::kSmallestTextScale);
    EXPECT_EQ(tovi::textLineOffset(t, 575, false), glm::vec2(0.0f, 100.0f - 240.0f));
    // Minimised: the plain space, no zero scale.
    EXPECT_FLOAT_EQ(tovi::textPlacement(0, 0).scale, 1.0f);

    tovi::ScreenRect r = tovi::fitPicture(1000, 780, 2000, 780);
    EXPECT_EQ(r.x, 500);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.width, 1000);
    EXPECT_EQ(r.height, 780);
    r = tovi::fitPicture(1000, 780, 500, 1000);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.width, 500);
    EXPECT_EQ(r.height, 390);
    EXPECT_EQ(r.y, 305);
    r = tovi::fitPicture(1000, 780, 0, 0);
    EXPECT_EQ(r.width * r.height, 0);

    const tovi::ScreenRect monitors[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    EXPECT_EQ(tovi::mostCoveredArea({1800, 100, 800, 600}, monitors, 2), 1);
    EXPECT_EQ(tovi::mostCoveredArea({1000, 100, 800, 600}, monitors, 2), 0);
    EXPECT_EQ(tovi::mostCoveredArea({-5000, 0, 800, 600}, monitors, 2), 0);
    EXPECT_EQ(tovi::mostCoveredArea({0, 0, 800, 600}, monitors, 0), -1);
}
