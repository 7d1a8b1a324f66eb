// The rendering passes against a real context: shadow map, off-screen buffers
// and blur, text, full-screen pictures, particles and the frame's pass order.
#include "GlTestContext.h"

#include "app/FrameComposition.h"
#include "app/Globals.h"
#include "core/Controls.h"
#include "core/MyCollision.h"
#include "core/Rotationposition.h"
#include "core/mesh/SceneObject.h"
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

namespace {

namespace fs = std::filesystem;
using tovi::scene::SceneObject;

constexpr int kWidth = 320; // the test window
constexpr int kHeight = 240;

using Rgba = std::array<int, 4>;

// Every named asset must exist: a missing shader would end the test process.
void requireAssets(std::initializer_list<const char*> paths) {
    for (const char* path : paths)
        ASSERT_TRUE(fs::exists(path)) << "missing asset " << fs::absolute(path);
}

void drainErrors() {
    while (glGetError() != GL_NO_ERROR) {
    }
}

Rgba pixelAt(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

std::vector<unsigned char> readWindow() {
    std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<unsigned char> readTexture(GLuint texture, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

Rgba texel(const std::vector<unsigned char>& pixels, int width, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * width + x) * 4;
    return {pixels[i], pixels[i + 1], pixels[i + 2], pixels[i + 3]};
}

bool near(const Rgba& a, const Rgba& b, int tolerance = 3) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    return true;
}

::testing::AssertionResult colourIs(const Rgba& actual, const Rgba& expected, int tolerance = 3) {
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

// A square of side 20 around the origin at height 0, wound both ways so it
// shows from above and below; drawn position-only like every shadow caster.
class SquareCaster : public SceneObject {
  public:
    explicit SquareCaster(const glm::mat4& model) : SceneObject(model) {
        const float v[] = {-10, 0, -10, 10, 0, -10, 10, 0, 10, -10, 0, 10};
        const unsigned short i[] = {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
        glGenBuffers(1, &positions);
        glBindBuffer(GL_ARRAY_BUFFER, positions);
        glBufferData(GL_ARRAY_BUFFER, sizeof(v), v, GL_STATIC_DRAW);
        glGenBuffers(1, &indices);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_COPY_WRITE_BUFFER, indices);
        glBufferData(GL_COPY_WRITE_BUFFER, sizeof(i), i, GL_STATIC_DRAW);
        glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
    ~SquareCaster() override {
        glDeleteBuffers(1, &positions);
        glDeleteBuffers(1, &indices);
    }
    void update(float) override {}
    void draw() override {}
    void drawShadow() override {
        ++shadowDraws;
        glEnableVertexAttribArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, positions);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
        glDrawElements(GL_TRIANGLES, 12, GL_UNSIGNED_SHORT, nullptr);
        glDisableVertexAttribArray(0);
    }
    GLuint positions = 0;
    GLuint indices = 0;
    int shadowDraws = 0;
};

float depthTexel(GLuint texture, int x, int y) {
    std::vector<float> depth(static_cast<size_t>(tovi::ShadowMap::kSize) * tovi::ShadowMap::kSize);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return depth[static_cast<size_t>(y) * tovi::ShadowMap::kSize + x];
}

TEST_F(RenderTest, ShadowMapRecordsCasterDepthAndTheMatrixReceiversUse) {
    ASSERT_NO_FATAL_FAILURE(requireAssets({"Kobuldo/Shader/death.vert", "Kobuldo/Shader/death.frag"}));
    auto shadow = std::make_unique<tovi::ShadowMap>();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(shadow->depthBiasVP, glm::mat4(1.0f)) << "identity before the first pass";
    GLint compareMode = 0;
    glBindTexture(GL_TEXTURE_2D, shadow->depthTexture());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_COMPARE_REF_TO_TEXTURE);

    // The square 10 above the ground, lifted 5 more for drawing (as the
    // editor's wobble does): the map must see it where it is drawn.
    SquareCaster square(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 10.0f, 0.0f)));
    square.drawLift = 5.0f;
    std::vector<SceneObject*> casters = {&square};
    shadow->drawShadowPass(casters, kWidth, kHeight);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(square.shadowDraws, 1);

    // B x P x V: bias, then the orthographic light from (1, 120, 1).
    const glm::mat4 bias(0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1);
    const glm::mat4 expected = bias * glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 0.0f, 120.0f) *
                               glm::lookAt(glm::vec3(1, 120, 1), glm::vec3(0), glm::vec3(0, 1, 0));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(shadow->depthBiasVP[c][r], expected[c][r], 1e-6f) << c << "," << r;

    // A receiver on top of the square finds its own depth in the map, which
    // is how the ball and the pieces decide they are lit.
    const glm::vec4 onTop = shadow->depthBiasVP * glm::vec4(0.0f, 15.0f, 0.0f, 1.0f);
    const int u = static_cast<int>(onTop.x * tovi::ShadowMap::kSize);
    const int v = static_cast<int>(onTop.y * tovi::ShadowMap::kSize);
    ASSERT_GT(u, 0);
    ASSERT_GT(v, 0);
    EXPECT_NEAR(depthTexel(shadow->depthTexture(), u, v), onTop.z, 2e-3f);
    EXPECT_NEAR(onTop.z, 105.01f / 120.0f, 2e-3f);
    // Outside the square the map keeps the cleared depth.
    EXPECT_FLOAT_EQ(depthTexel(shadow->depthTexture(), 5, 5), 1.0f);

    // The pass hands the window back ready for the scene.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    GLint framebuffer = -1, vertexArray = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(framebuffer, 0);
    EXPECT_EQ(vertexArray, 0);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    // Without casters the map is simply cleared.
    shadow->drawShadowPass(std::vector<SceneObject*>{}, kWidth, kHeight);
    EXPECT_FLOAT_EQ(depthTexel(shadow->depthTexture(), u, v), 1.0f);

    const GLuint texture = shadow->depthTexture();
    shadow.reset();
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTest, OffscreenBlurSpreadsTheGlowAndCompositionShowsTheScene) {
    ASSERT_NO_FATAL_FAILURE(requireAssets(
        {"Kobuldo/Shader/texture.vert", "Kobuldo/Shader/gauss.frag", "Kobuldo/Shader/texture.frag"}));
    tovi::ShaderProgram gauss("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/gauss.frag");
    tovi::ShaderProgram compose("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag");
    auto buffer = std::make_unique<tovi::OffscreenBuffer>(kWidth, kHeight);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glBindFramebuffer(GL_FRAMEBUFFER, buffer->sceneFramebuffer());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    // What a scene frame leaves: a coloured picture and one glowing pixel.
    const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, outputs);
    const GLfloat sceneColour[4] = {0.2f, 0.4f, 0.6f, 1.0f};
    const GLfloat none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat glow[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glClearBufferfv(GL_COLOR, 0, sceneColour);
    glClearBufferfv(GL_COLOR, 1, none);
    glEnable(GL_SCISSOR_TEST);
    glScissor(100, 100, 1, 1);
    glClearBufferfv(GL_COLOR, 1, glow);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // The game's state around the two passes: blending on for the composition.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    buffer->blurPass(gauss);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(buffer->horizontal) << "three passes end on a horizontal one";
    // The blur works at half the window's size: the glowing pixel falls on
    // its texel (50, 50).
    const int w = buffer->blurTargetWidth();
    EXPECT_EQ(w, kWidth / 2);
    EXPECT_EQ(buffer->blurTargetHeight(), kHeight / 2);
    const std::vector<unsigned char> blurred = readTexture(buffer->pingpongTexture(1), w, kHeight / 2);
    // However wide the kernel, the glowing pixel now lights some neighbours
    // along its row and its column.
    int sideways = 0, vertically = 0;
    for (int d = -3; d <= 3; ++d) {
        if (d == 0)
            continue;
        sideways = std::max(sideways, texel(blurred, w, 50 + d, 50)[0]);
        vertically = std::max(vertically, texel(blurred, w, 50, 50 + d)[0]);
    }
    EXPECT_GT(texel(blurred, w, 50, 50)[0], 0);
    EXPECT_GT(sideways, 0) << "spread sideways";
    EXPECT_GT(vertically, 0) << "spread up and down";
    EXPECT_LT(texel(blurred, w, 50, 50)[0], 255) << "the glow is spread, not copied";
    EXPECT_EQ(texel(blurred, w, 5, 5)[0], 0) << "no glow far away";

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    buffer->composePass(compose);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const Rgba expectedScene = {51, 102, 153, 255};
    EXPECT_TRUE(colourIs(pixelAt(10, 10), expectedScene));
    EXPECT_TRUE(colourIs(pixelAt(kWidth - 1, kHeight - 1), expectedScene));
    const Rgba atGlow = pixelAt(100, 100);
    EXPECT_GE(atGlow[0] + atGlow[1] + atGlow[2], 51 + 102 + 153) << "the glow never darkens the scene";

    const GLuint framebuffer = buffer->sceneFramebuffer();
    const GLuint glowTexture = buffer->glowTexture();
    const GLuint pingpong = buffer->pingpongTexture(0);
    buffer.reset();
    EXPECT_FALSE(glIsFramebuffer(framebuffer));
    EXPECT_FALSE(glIsTexture(glowTexture));
    EXPECT_FALSE(glIsTexture(pingpong));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTest, OffscreenCompositionBeforeAnyBlurAddsNoGlow) {
    ASSERT_NO_FATAL_FAILURE(requireAssets({"Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag"}));
    tovi::ShaderProgram compose("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag");
    tovi::OffscreenBuffer buffer(kWidth, kHeight);
    // Fresh buffers hold black, not whatever the driver had in memory.
    const std::vector<unsigned char> glow = readTexture(buffer.pingpongTexture(1), kWidth, kHeight);
    const std::vector<unsigned char> scene = readTexture(buffer.sceneColorTexture(), kWidth, kHeight);
    EXPECT_EQ(texel(glow, kWidth, 160, 120), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(texel(scene, kWidth, 160, 120), (Rgba{0, 0, 0, 0}));
    buffer.composePass(compose);
    EXPECT_TRUE(colourIs(pixelAt(160, 120), Rgba{0, 0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Text shaders with a known mapping: one text unit is one pixel of the test
// window.
const char* kPixelTextVert = R"(#version 330 core
layout(location = 0) in vec2 vertexPosition;
layout(location = 1) in vec2 vertexUV;
out vec2 UV;
void main() {
    gl_Position = vec4(vertexPosition / vec2(160.0, 120.0) - vec2(1.0), 0.0, 1.0);
    UV = vertexUV;
}
)";
const char* kPixelTextFrag = R"(#version 330 core
in vec2 UV;
out vec4 fragColor;
uniform sampler2D myTextureSampler;
void main() { fragColor = texture(myTextureSampler, UV); }
)";

TEST_F(RenderTest, PrintTextPutsEachGlyphInItsCellAndBlendsOnlyAroundTheDraw) {
    ScratchAssets assets;
    assets.writeText("Kobuldo/Shader/Text.vert", kPixelTextVert);
    assets.writeText("Kobuldo/Shader/Text.frag", kPixelTextFrag);
    // A 256 x 256 font in which only "A" (column 1, row 4) has a glyph: the
    // first eight texel rows of its cell white, the other eight red; the
    // rest of the picture is fully transparent.
    assets.writeImage("Kobuldo/Textures/MyFont.bmp", 256, 256, [](int x, int y) -> Rgba {
        if (x >= 16 && x < 32 && y >= 64 && y < 72)
            return {255, 255, 255, 255};
        if (x >= 16 && x < 32 && y >= 72 && y < 80)
            return {255, 0, 0, 255};
        return {0, 0, 0, 0};
    });
    tovi::TextRenderer text;

    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    text.printText("AB", 100);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending is switched off after the draw";

    const Rgba white = {255, 255, 255, 255}, red = {255, 0, 0, 255}, blue = {0, 0, 255, 255};
    // "A" covers x 10..30, y 100..120: the cell's smaller v at the top edge.
    EXPECT_TRUE(colourIs(pixelAt(20, 115), white));
    EXPECT_TRUE(colourIs(pixelAt(13, 117), white));
    EXPECT_TRUE(colourIs(pixelAt(20, 105), red));
    EXPECT_TRUE(colourIs(pixelAt(27, 103), red));
    // "B" follows at x 30..50; its cell is transparent, so blending keeps the
    // background behind it.
    EXPECT_TRUE(colourIs(pixelAt(40, 110), blue));
    // Nothing left of x = 10, above or below the line.
    EXPECT_TRUE(colourIs(pixelAt(5, 110), blue));
    EXPECT_TRUE(colourIs(pixelAt(20, 125), blue));
    EXPECT_TRUE(colourIs(pixelAt(20, 95), blue));

    // An empty (or missing) string draws nothing and still ends with blending off.
    glClear(GL_COLOR_BUFFER_BIT);
    const std::vector<unsigned char> before = readWindow();
    glEnable(GL_BLEND);
    text.printText("", 100);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    text.printText(nullptr, 100);
    EXPECT_EQ(readWindow(), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTest, PrintTextWithTheGameFontDrawsTheHudLinesInTheirBands) {
    ASSERT_NO_FATAL_FAILURE(requireAssets(
        {"Kobuldo/Shader/Text.vert", "Kobuldo/Shader/Text.frag", "Kobuldo/Textures/MyFont.bmp"}));
    tovi::TextRenderer text;
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<unsigned char> empty = readWindow();
    text.printText("", 575);
    EXPECT_EQ(readWindow(), empty);

    const std::vector<std::pair<std::string, int>> lines = {
        {"01:15:23", 575}, {"00:00:05", 555}, {"3/7", 535}, {"62.500000", 505}, {"geklippt: 2", 400}};
    for (const auto& [line, y] : lines)
        text.printText(line.c_str(), y);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The game's text space is 800 x 600 over the whole window: every lit
    // pixel lies in the box of one of the lines (x from 10, 20 units a glyph).
    const std::vector<unsigned char> shown = readWindow();
    const float sx = kWidth / 800.0f, sy = kHeight / 600.0f;
    int lit = 0, stray = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (texel(shown, kWidth, x, y) == texel(empty, kWidth, x, y))
                continue;
            ++lit;
            bool inside = false;
            for (const auto& [line, lineY] : lines)
                inside = inside || (x + 1 >= 10 * sx && x <= (10 + 20 * line.size()) * sx + 1 &&
                                    y + 1 >= lineY * sy && y <= (lineY + 20) * sy + 1);
            stray += inside ? 0 : 1;
        }
    EXPECT_GT(lit, 50) << "the HUD lines left glyphs in the window";
    EXPECT_EQ(stray, 0) << "pixels lit outside the lines";
}

TEST_F(RenderTest, ScreenPicturesFitTheWindowUpright) {
    ScratchAssets assets;
    ASSERT_NO_FATAL_FAILURE(
        requireAssets({"Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texturePure.frag"}));
    // Start picture in four quadrants, bottom row first: bottom-left blue,
    // bottom-right white, top-left red, top-right green.
    assets.writeImage("Kobuldo/Textures/Startscreen.png", 64, 64, [](int x, int y) -> Rgba {
        if (y < 32)
            return x < 32 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
        return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
    });
    assets.writeImage("Kobuldo/Textures/YouWin.png", 8, 8, [](int, int) { return Rgba{0, 255, 0, 255}; });
    assets.writeImage("Kobuldo/Textures/YouLose.png", 8, 8, [](int, int) { return Rgba{255, 0, 255, 255}; });
    tovi::ScreenPictures pictures(kWidth, kHeight);

    // The state a scene frame leaves behind.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, 10, 10);

    // The square picture as high as the 320 x 240 window, centred: x 40 to
    // 280, black beside it, and the whole window's viewport left behind.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pictures.drawStartScreen();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const Rgba black = {0, 0, 0, 0};
    EXPECT_TRUE(colourIs(pixelAt(42, 2), {0, 0, 255, 255}));
    EXPECT_TRUE(colourIs(pixelAt(277, 2), {255, 255, 255, 255}));
    EXPECT_TRUE(colourIs(pixelAt(42, kHeight - 3), {255, 0, 0, 255}));
    EXPECT_TRUE(colourIs(pixelAt(277, kHeight - 3), {0, 255, 0, 255}));
    EXPECT_TRUE(colourIs(pixelAt(37, 120), black));
    EXPECT_TRUE(colourIs(pixelAt(282, 120), black));
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pictures.drawWinScreen();
    for (auto [x, y] : {std::pair{41, 0}, {278, 0}, {41, kHeight - 1}, {278, kHeight - 1}, {160, 120}})
        EXPECT_TRUE(colourIs(pixelAt(x, y), {0, 255, 0, 255})) << x << "," << y;

    // A picture drawn over a window whose depth was not cleared still shows.
    pictures.drawLoseScreen();
    EXPECT_TRUE(colourIs(pixelAt(160, 120), {255, 0, 255, 255}));

    // A framebuffer of another shape (here a tall 160 x 240 corner): the
    // picture moves between black bars above and below.
    pictures.setScreenSize(160, 240);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    pictures.drawStartScreen();
    EXPECT_TRUE(colourIs(pixelAt(2, 42), {0, 0, 255, 255}));
    EXPECT_TRUE(colourIs(pixelAt(157, 197), {0, 255, 0, 255}));
    EXPECT_TRUE(colourIs(pixelAt(80, 37), black));
    EXPECT_TRUE(colourIs(pixelAt(80, 202), black));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTest, ParticlesDrawNothingWhenNoneLiveAndNeverReadPastTheirArrays) {
    ASSERT_NO_FATAL_FAILURE(requireAssets({"Kobuldo/Shader/Particle.vert", "Kobuldo/Shader/Particle.frag"}));
    tovi::scene::ParticleRenderer particles(glm::mat4(1.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<unsigned char> empty = readWindow();
    particles.particles.particleCount = 0;
    glDisable(GL_BLEND);
    particles.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(readWindow(), empty);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "without controls the particles blend";

    // One particle right in front of the camera is drawn.
    particles.particles.projectionMatrix = glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, 0.1f, 100.0f);
    particles.particles.viewMatrix = glm::mat4(1.0f);
    particles.particles.positionSizeData.assign(4 * static_cast<size_t>(particles.particles.maxParticles),
                                                0.0f);
    particles.particles.colorData.assign(4 * static_cast<size_t>(particles.particles.maxParticles), 255);
    particles.particles.positionSizeData[2] = -2.0f;
    particles.particles.positionSizeData[3] = 0.5f;
    particles.particles.particleCount = 1;
    particles.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_NE(readWindow(), empty);

    // A count larger than the arrays is clamped to them (ASan watches).
    particles.particles.particleCount = particles.particles.maxParticles + 50;
    particles.particles.positionSizeData.resize(8);
    particles.particles.colorData.resize(8);
    particles.draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Scene objects that only record what the frame did with them.
struct DrawLog {
    std::vector<std::string> events;
};

class LoggedObject : public tovi::scene::TrackBase {
  public:
    LoggedObject(DrawLog& log, std::string name, const glm::vec3& at)
        : TrackBase(glm::translate(glm::mat4(1.0f), at), name), log(log), name(std::move(name)) {}
    void draw() override { log.events.push_back("draw " + name); }
    void drawShadow() override { log.events.push_back("shadow " + name); }
    DrawLog& log;
    std::string name;
};

class LoggedPictures : public tovi::RacePictures {
  public:
    explicit LoggedPictures(DrawLog& log) : log(log) {}
    void drawStartScreen() override { log.events.push_back("start picture"); }
    void drawWinScreen() override { log.events.push_back("win picture"); }
    void drawLoseScreen() override { log.events.push_back("lose picture"); }
    DrawLog& log;
};

TEST_F(RenderTest, DrawFrameShowsPicturesOutsideARaceAndRunsThePassesInOrderDuringOne) {
    ASSERT_NO_FATAL_FAILURE(requireAssets(
        {"Kobuldo/Shader/death.vert", "Kobuldo/Shader/death.frag", "Kobuldo/Shader/texture.vert",
         "Kobuldo/Shader/gauss.frag", "Kobuldo/Shader/texture.frag", "Kobuldo/Shader/default.vert",
         "Kobuldo/Shader/default.frag", "Kobuldo/Shader/normalmap.vert", "Kobuldo/Shader/normalmap.frag",
         "Kobuldo/Shader/lampertPhong.vert", "Kobuldo/Shader/lampertPhong.frag",
         "Kobuldo/Objects/V2/shpere.obj"}));
    DrawLog log;
    std::vector<tovi::scene::SceneObject*> pieces, rings, casters;
    tovi::MyCollision race(rings, nullptr, nullptr, kWidth, kHeight, std::make_unique<LoggedPictures>(log));
    tovi::FrameInputs frame;
    frame.race = &race;
    frame.pieces = &pieces;
    frame.rings = &rings;
    frame.shadowCasters = &casters;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.culledCount = 7;

    EXPECT_EQ(tovi::drawFrame(frame), 7);
    race.state = tovi::MyCollision::Won;
    EXPECT_EQ(tovi::drawFrame(frame), 7);
    race.state = tovi::MyCollision::Lost;
    EXPECT_EQ(tovi::drawFrame(frame), 7) << "picture frames keep the last scene frame's count";
    EXPECT_EQ(log.events, (std::vector<std::string>{"start picture", "win picture", "lose picture"}));

    // A scene frame with two pieces, three rings (one passed) and the ball.
    log.events.clear();
    LoggedObject pieceA(log, "pieceA", {0, 0, -5});
    LoggedObject pieceB(log, "pieceB", {5, 0, -5});
    LoggedObject ring0(log, "ring0", {0, 2, -5});
    LoggedObject ring1(log, "ring1", {1, 2, -5});
    LoggedObject ring2(log, "ring2", {2, 2, -5});
    pieces = {&pieceA, &pieceB};
    rings = {&ring0, &ring1, &ring2};
    race.passedRings = {1};
    race.state = tovi::MyCollision::Racing;

    auto shadow = std::make_unique<tovi::ShadowMap>();
    auto offscreen = std::make_unique<tovi::OffscreenBuffer>(kWidth, kHeight);
    auto gauss =
        std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/gauss.frag");
    auto compose =
        std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag");
    auto plain =
        std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/default.vert", "Kobuldo/Shader/default.frag");
    auto normalmap = std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/normalmap.vert",
                                                           "Kobuldo/Shader/normalmap.frag");
    auto phong = std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/lampertPhong.vert",
                                                       "Kobuldo/Shader/lampertPhong.frag");
    // The ball 20 above the origin, so it lies in the light's view.
    tovi::scene::AssetStore assets;
    auto ball = std::make_unique<tovi::scene::Pellix>(glm::translate(glm::mat4(1.0f), glm::vec3(0, 20, 0)),
                                                      phong.get(), assets);
    casters = {&pieceA, &pieceB, ball.get()};
    frame.shadowMap = shadow.get();
    frame.offscreen = offscreen.get();
    frame.blurShader = gauss.get();
    frame.composeShader = compose.get();
    frame.ringShader = plain.get();
    frame.pieceShader = normalmap.get();
    frame.ballShader = phong.get();
    frame.ball = ball.get();

    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDisable(GL_BLEND);
    EXPECT_EQ(tovi::drawFrame(frame), 1) << "with culling off only the passed ring is left out";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The casters go into the shadow map; the passed ring is not drawn.
    EXPECT_EQ(log.events, (std::vector<std::string>{"shadow pieceA", "shadow pieceB", "draw ring0",
                                                    "draw ring2", "draw pieceA", "draw pieceB"}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);

    // The ball casts a shadow: above its centre the map holds the depth of
    // its upper surface, a little nearer the light than the centre.
    const glm::vec4 ballCentre = shadow->depthBiasVP * glm::vec4(0.0f, 20.0f, 0.0f, 1.0f);
    const float depth =
        depthTexel(shadow->depthTexture(), static_cast<int>(ballCentre.x * tovi::ShadowMap::kSize),
                   static_cast<int>(ballCentre.y * tovi::ShadowMap::kSize));
    EXPECT_LT(depth, ballCentre.z);
    EXPECT_GT(depth, ballCentre.z - 0.02f);
    // The pass hands the window back with the frame's viewport.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);

    // With no pieces the ball alone is drawn into the map, and the count is
    // still the passed ring.
    pieces.clear();
    casters = {ball.get()};
    log.events.clear();
    EXPECT_EQ(tovi::drawFrame(frame), 1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"draw ring0", "draw ring2"}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
