#pragma once
// What the rendering tests share: the test window's size, pixel reads, a
// private asset tree and the fixture that sets the window up.
#include "GlTestContext.h"

#include "app/FrameComposition.h"
#include "app/Globals.h"
#include "core/controls/Controls.h"
#include "core/frame/Rotationposition.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "render/OffscreenBuffer.h"
#include "render/ScreenPictures.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/TextRenderer.h"
#include "scene/AssetStore.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"

#include <FreeImage.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace render_fixture {

namespace fs = std::filesystem;

constexpr int kWidth = 320; // the test window
constexpr int kHeight = 240;

using Rgba = std::array<int, 4>;

// Every named asset must exist: a missing shader would end the test process.
inline void requireAssets(std::initializer_list<const char*> paths) {
    for (const char* path : paths)
        ASSERT_TRUE(fs::exists(path)) << "missing asset " << fs::absolute(path);
}

inline void drainErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

inline Rgba pixelAt(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

inline std::vector<unsigned char> readWindow() {
    std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

inline std::vector<unsigned char> readTexture(GLuint texture, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

inline Rgba texel(const std::vector<unsigned char>& pixels, int width, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * width + x) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
}

inline bool near(const Rgba& a, const Rgba& b, int tolerance = 3) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    return true;
}

inline ::testing::AssertionResult colourIs(const Rgba& actual, const Rgba& expected, int tolerance = 3) {
    if (near(actual, expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << "), expected (" << expected[0]
           << ", " << expected[1] << ", " << expected[2] << ")";
}

// A private copy of the asset tree: the game's own shaders, plus pictures and
// sources a test makes up so it knows exactly what must appear.
class ScratchAssets {
  public:
    ScratchAssets() {
        std::random_device rd;
        root = fs::temp_directory_path() / ("zentaro-render-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(root / "Kobuldo" / "Shader");
        fs::create_directories(root / "Kobuldo" / "Textures");
        const fs::path shaders = fs::path(ZENTARO_SOURCE_DIR) / "Kobuldo" / "Shader";
        if (fs::exists(shaders))
            for (const auto& entry : fs::directory_iterator(shaders))
                fs::copy_file(entry.path(), root / "Kobuldo" / "Shader" / entry.path().filename());
        previous = fs::current_path();
        fs::current_path(root);
    }
    ~ScratchAssets() {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    void writeText(const std::string& path, const std::string& text) {
        std::ofstream out(root / path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    // A PNG made from colour(x, y) with y = 0 the bottom row.
    void writeImage(const std::string& path, int width, int height,
                    const std::function<Rgba(int, int)>& colour) {
        FIBITMAP* image = FreeImage_Allocate(width, height, 32);
        ASSERT_NE(image, nullptr);
        for (int y = 0; y < height; ++y) {
            BYTE* line = FreeImage_GetScanLine(image, y);
            for (int x = 0; x < width; ++x) {
                const Rgba c = colour(x, y);
                line[4 * x + FI_RGBA_RED] = static_cast<BYTE>(c[0]);
                line[4 * x + FI_RGBA_GREEN] = static_cast<BYTE>(c[1]);
                line[4 * x + FI_RGBA_BLUE] = static_cast<BYTE>(c[2]);
                line[4 * x + FI_RGBA_ALPHA] = static_cast<BYTE>(c[3]);
            }
        }
        const std::string target = (root / path).string();
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, target.c_str(), 0)) << target;
        FreeImage_Unload(image);
    }

    fs::path root;
    fs::path previous;
};

class RenderTest : public tovi::testing::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        tovi::screenWidth = kWidth;
        tovi::screenHeight = kHeight;
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        drainErrors();
    }
    void TearDown() override {
        tovi::screenWidth = 1000;
        tovi::screenHeight = 780;
        GlTest::TearDown();
    }
};

// The passes and programs of a scene frame, handed to a frame's inputs.
struct FramePasses {
    std::unique_ptr<tovi::ShadowMap> shadow = std::make_unique<tovi::ShadowMap>();
    std::unique_ptr<tovi::OffscreenBuffer> offscreen =
        std::make_unique<tovi::OffscreenBuffer>(kWidth, kHeight);
    std::unique_ptr<tovi::ShaderProgram> gauss = program("texture.vert", "gauss.frag");
    std::unique_ptr<tovi::ShaderProgram> compose = program("texture.vert", "texture.frag");
    std::unique_ptr<tovi::ShaderProgram> plain = program("default.vert", "default.frag");
    std::unique_ptr<tovi::ShaderProgram> normalmap = program("normalmap.vert", "normalmap.frag");

    static std::unique_ptr<tovi::ShaderProgram> program(const std::string& vert, const std::string& frag) {
        return std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/" + vert, "Kobuldo/Shader/" + frag);
    }
    void use(tovi::FrameInputs& frame) const {
        frame.shadowMap = shadow.get();
        frame.offscreen = offscreen.get();
        frame.blurShader = gauss.get();
        frame.composeShader = compose.get();
        frame.ringShader = plain.get();
        frame.pieceShader = normalmap.get();
    }
};

// One texel of the shadow map's depth.
inline float depthTexel(GLuint texture, int x, int y) {
    std::vector<float> depth(static_cast<size_t>(tovi::ShadowMap::kSize) * tovi::ShadowMap::kSize);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return depth[static_cast<size_t>(y) * tovi::ShadowMap::kSize + x];
}

} // namespace render_fixture
