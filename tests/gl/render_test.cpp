// The rendering passes against a real context: shadow map, off-screen buffers
// and blur.
#include "RenderFixture.h"

namespace {

using namespace render_fixture;
using tovi::scene::SceneObject;

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

    // The box follows its focus: far down a long course, 200 below the
    // start, a square under the ball casts as the one above did at the start.
    const glm::vec3 away(300.0f, -134.2f, -250.0f);
    SquareCaster far(glm::translate(glm::mat4(1.0f), away + glm::vec3(0.0f, 10.0f, 0.0f)));
    far.drawLift = 5.0f;
    std::vector<SceneObject*> farCasters = {&far};
    shadow->focus = tovi::kDefaultRaceStart + away;
    shadow->drawShadowPass(farCasters, kWidth, kHeight);
    const glm::vec4 farTop = shadow->depthBiasVP * glm::vec4(away + glm::vec3(0.0f, 15.0f, 0.0f), 1.0f);
    EXPECT_NEAR(depthTexel(shadow->depthTexture(), static_cast<int>(farTop.x * tovi::ShadowMap::kSize),
                           static_cast<int>(farTop.y * tovi::ShadowMap::kSize)),
                farTop.z, 2e-3f);
    // The box moves in whole steps (3.125 units, 1/120 of the depth a unit).
    EXPECT_NEAR(farTop.z, onTop.z, 1.6f / 120.0f) << "about the same depth in the box as at the start";

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

} // namespace
