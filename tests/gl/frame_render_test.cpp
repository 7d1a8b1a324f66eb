// The rendering against a real context: text, full-screen pictures,
// particles and the frame's pass order.
#include "RenderFixture.h"

namespace {

using namespace render_fixture;
using tovi::scene::SceneObject;

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

    const FramePasses passes;
    auto phong = FramePasses::program("lampertPhong.vert", "lampertPhong.frag");
    // The ball 20 above the origin, so it lies in the light's view.
    tovi::scene::AssetStore assets;
    auto ball = std::make_unique<tovi::scene::Pellix>(glm::translate(glm::mat4(1.0f), glm::vec3(0, 20, 0)),
                                                      phong.get(), assets);
    casters = {&pieceA, &pieceB, ball.get()};
    passes.use(frame);
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
    const glm::vec4 ballCentre = passes.shadow->depthBiasVP * glm::vec4(0.0f, 20.0f, 0.0f, 1.0f);
    const float depth =
        depthTexel(passes.shadow->depthTexture(), static_cast<int>(ballCentre.x * tovi::ShadowMap::kSize),
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
