// The pieces drawn a kind at a time (instanced, with their lamps, shadows and
// the editor's tints) against the same frame drawn one piece at a time.
#include "RenderFixture.h"

#include "render/SkyBox.h"
#include "scene/Light.h"
#include "scene/PieceBatches.h"
#include "scene/Track.h"

namespace {

using namespace render_fixture;
using tovi::scene::SceneObject;

// Pixels of two RGBA pictures whose colour differs by more than rounding.
int pixelsOff(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    int off = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        for (std::size_t c = 0; c < 3; ++c)
            if (std::abs(a[i + c] - b[i + c]) > 2) {
                ++off;
                break;
            }
    return off;
}

TEST_F(RenderTest, PiecesDrawnAKindAtATimeLookAsDrawnOneByOne) {
    const char* kinds[] = {"straight", "ramp", "left", "right"};
    for (const char* kind : kinds)
        ASSERT_NO_FATAL_FAILURE(
            requireAssets({(std::string("Kobuldo/Objects/V2/") + kind + ".obj").c_str()}));
    ASSERT_NO_FATAL_FAILURE(
        requireAssets({"Kobuldo/Objects/V2/light.obj", "Kobuldo/Shader/normalmap.vert",
                       "Kobuldo/Shader/normalmap_instanced.vert", "Kobuldo/Shader/default_instanced.vert",
                       "Kobuldo/Shader/death_instanced.vert"}));
    const FramePasses passes;
    tovi::scene::AssetStore assets;
    tovi::scene::Light lamp(glm::mat4(1.0f), passes.plain.get(), assets);
    auto batches = std::make_unique<tovi::scene::PieceBatches>();

    // Three pieces of each kind, turned, scaled, stacked so that some shade
    // others, each with its own lamp offsets. Kinds interleaved, so a kind's
    // pieces are not neighbours in the list.
    std::vector<std::unique_ptr<tovi::scene::Track>> owned;
    std::vector<SceneObject*> pieces, rings, casters;
    for (int i = 0; i < 12; ++i) {
        glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(-9.0f + 6.0f * static_cast<float>(i % 4),
                                                                2.5f * static_cast<float>(i / 4),
                                                                -4.0f * static_cast<float>(i / 4)));
        m = glm::rotate(m, glm::radians(35.0f * static_cast<float>(i)), glm::vec3(0, 1, 0));
        m = glm::scale(m, glm::vec3(i == 5 ? 1.4f : 1.0f));
        owned.push_back(std::make_unique<tovi::scene::Track>(
            m, passes.normalmap.get(), nullptr, std::string("Kobuldo/Objects/V2/") + kinds[i % 4], assets));
        owned.back()->lightOffsetX = 0.5f * static_cast<float>(i % 3);
        owned.back()->lightOffsetZ = -0.7f * static_cast<float>(i % 2);
        pieces.push_back(owned.back().get());
    }
    casters = pieces;
    // The editor's marks: one piece selected (blue), one cutting in (red).
    owned[2]->drawTint = glm::vec3(0.15f, 0.3f, 0.55f);
    owned[7]->drawTint = glm::vec3(0.6f, -0.3f, -0.3f);

    tovi::MyCollision race(rings, nullptr, nullptr, kWidth, kHeight, nullptr);
    race.state = tovi::MyCollision::Racing;
    tovi::FrameInputs frame;
    frame.race = &race;
    frame.pieces = &pieces;
    frame.rings = &rings;
    frame.shadowCasters = &casters;
    frame.lamp = &lamp;
    frame.lampOffset = glm::vec2(1.5f, -2.0f);
    passes.use(frame);
    frame.width = kWidth;
    frame.height = kHeight;
    frame.projection = glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, 0.1f, 100.0f);
    frame.view = glm::lookAt(glm::vec3(1.0f, 10.0f, 12.0f), glm::vec3(0.0f, 0.0f, -3.0f), glm::vec3(0, 1, 0));

    // Twice each way: the second frame of a kind follows one of its own.
    tovi::drawFrame(frame);
    tovi::drawFrame(frame);
    const std::vector<unsigned char> oneByOne = readWindow();
    frame.batches = batches.get();
    tovi::drawFrame(frame);
    tovi::drawFrame(frame);
    const std::vector<unsigned char> batched = readWindow();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int lit = 0;
    for (std::size_t i = 0; i < oneByOne.size(); i += 4)
        if (oneByOne[i] + oneByOne[i + 1] + oneByOne[i + 2] > 60)
            ++lit;
    EXPECT_GT(lit, kWidth * kHeight / 8) << "the pieces fill a good part of the window";
    EXPECT_EQ(pixelsOff(oneByOne, batched), 0) << "pixels that differ by more than rounding";
    owned[2]->drawTint = owned[7]->drawTint = glm::vec3(0.0f);
    tovi::drawFrame(frame);
    EXPECT_GT(pixelsOff(readWindow(), batched), 200) << "the tinted pieces stand out";

    // The shadow box follows its focus: the pieces' kept layer of the map is
    // drawn again in the moved box, so the shadows land where the frame drawn
    // one piece at a time puts them.
    passes.shadow->focus += glm::vec3(7.0f, -4.0f, 5.0f);
    tovi::drawFrame(frame);
    const std::vector<unsigned char> batchedMoved = readWindow();
    frame.batches = nullptr;
    tovi::drawFrame(frame);
    EXPECT_EQ(pixelsOff(readWindow(), batchedMoved), 0) << "after the box moved";
    frame.batches = batches.get();

    // A frame with no piece in it leaves the batches with nothing to draw.
    pieces.clear();
    casters.clear();
    tovi::drawFrame(frame);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
