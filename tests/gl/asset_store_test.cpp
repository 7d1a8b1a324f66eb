// Shared assets: the store hands out one asset per file and lets it go with
// its last user; picture textures and the registry the F4 and F5 keys walk.
#include "app/GlLevelFactory.h"
#include "physics/PhysicsWorld.h"
#include "render/Texture.h"
#include "scene/AssetStore.h"
#include "scene/Ring.h"
#include "scene/Track.h"
#include "tests/gl/SceneFixture.h"

#include <algorithm>
#include <memory>
#include <string>

using namespace tovi::testing;

namespace {

using AssetsTest = SceneObjectsTest;

bool registered(GLuint texture) {
    const std::vector<GLuint>& live = tovi::textureRegistry.textures();
    return std::count(live.begin(), live.end(), texture) == 1;
}

GLint textureParameter(GLuint texture, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST_F(AssetsTest, StoreGivesOneAssetPerFileAndLetsItGoWithItsLastUser) {
    installMesh("straight", true);
    installMesh("ring");
    installTexture("wood.png");
    installTexture("wood-normal.png");
    const GLuint program = normalmap->programId;

    auto wood = assets.texture("Kobuldo/Textures/wood.png");
    EXPECT_EQ(assets.texture("Kobuldo/Textures/wood.png"), wood);
    EXPECT_NE(assets.texture("Kobuldo/Textures/wood-normal.png"), wood);
    auto mesh = assets.normalMappedMesh(kObjects + "straight.obj", program);
    EXPECT_EQ(assets.normalMappedMesh(kObjects + "straight.obj", program), mesh);
    // Another drawing program or indexing is another vertex array.
    EXPECT_NE(assets.normalMappedMesh(kObjects + "straight.obj", plain->programId), mesh);
    EXPECT_NE(assets.plainMesh(kObjects + "straight.obj", program), mesh);
    auto collision = assets.collisionMesh(kObjects + "straight.stl");
    EXPECT_EQ(assets.collisionMesh(kObjects + "straight.stl"), collision);
    EXPECT_EQ(collision->triangleCount(), 3);

    // A hundred pieces and rings add no asset of their own.
    {
        tovi::PhysicsWorld world;
        std::vector<std::unique_ptr<tovi::scene::SceneObject>> objects;
        for (int i = 0; i < 100; ++i) {
            objects.push_back(std::make_unique<tovi::scene::Track>(glm::mat4(1.0f), normalmap.get(), &world,
                                                                   kObjects + "straight", assets));
            objects.push_back(std::make_unique<tovi::scene::Ring>(glm::mat4(1.0f), plain.get(), assets));
        }
        // wood, wood-normal, the piece mesh, its collision mesh; the ring's
        // mesh and (missing) picture.
        EXPECT_EQ(assets.liveCount(), 6u);
        EXPECT_EQ(wood.use_count(), 101);
        objects.clear(); // the pieces go before their bodies' world
    }
    EXPECT_EQ(assets.liveCount(), 3u);
    EXPECT_EQ(collision.use_count(), 1);

    // The level factory keeps the kinds it has made: switching courses (every
    // piece destroyed, then the next course made) reads no file again.
    {
        tovi::PhysicsWorld world;
        tovi::GlLevelFactory factory(normalmap.get(), plain.get(), &world, assets);
        auto* piece =
            static_cast<tovi::scene::Track*>(factory.makePiece(kObjects + "straight", glm::mat4(1.0f)));
        const std::weak_ptr<const tovi::scene::MeshBuffers> kept = piece->mesh;
        const std::weak_ptr<const tovi::Texture> keptNormal = piece->normalTexture;
        factory.destroy(piece);
        EXPECT_FALSE(kept.expired());
        EXPECT_FALSE(keptNormal.expired());
        world.removeTrackBodies();
    }
    EXPECT_EQ(assets.liveCount(), 3u);

    // The last user gone, the asset goes: GL objects deleted, the next
    // request loads the file again.
    const GLuint woodId = wood->textureId;
    const GLuint vertexArray = mesh->vertexArray;
    const GLuint positions = mesh->positionBuffer;
    wood.reset();
    mesh.reset();
    collision.reset();
    EXPECT_EQ(assets.liveCount(), 0u);
    EXPECT_FALSE(glIsTexture(woodId));
    EXPECT_FALSE(glIsVertexArray(vertexArray));
    EXPECT_FALSE(glIsBuffer(positions));
    EXPECT_FALSE(registered(woodId));
    auto again = assets.texture("Kobuldo/Textures/wood.png");
    EXPECT_TRUE(glIsTexture(again->textureId));
    EXPECT_EQ(assets.liveCount(), 1u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(AssetsTest, TextureUploadsRedFirstAndTheFilterKeysSeeOnlyLiveTextures) {
    installTexture("pixel.png", {1, 2, 3, 4});
    auto texture = std::make_unique<tovi::Texture>("Kobuldo/Textures/pixel.png");
    const GLuint id = texture->textureId;
    EXPECT_TRUE(registered(id));
    Pixel pixel{};
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    EXPECT_EQ(pixel, (Pixel{3, 2, 1, 4}));

    // A missing file still gives a registered, empty texture.
    tovi::Texture missing("Kobuldo/Textures/nothing-here.png");
    EXPECT_TRUE(registered(missing.textureId));
    EXPECT_NE(missing.textureId, id);
    GLint width = -1;
    glBindTexture(GL_TEXTURE_2D, missing.textureId);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);

    // F4 and F5 through the level factory: every live texture changes, and a
    // deleted one has left the registry (its name is free for GL to reuse).
    tovi::PhysicsWorld world;
    tovi::GlLevelFactory factory(normalmap.get(), plain.get(), &world, assets);
    texture.reset();
    EXPECT_FALSE(registered(id));
    factory.applyMagnificationFilter(true);
    factory.applyMinificationFilter(true);
    EXPECT_EQ(textureParameter(missing.textureId, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(textureParameter(missing.textureId, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    // A texture made afterwards (a win picture shown for the first time, a
    // piece of a kind not yet on the course) takes the chosen filters.
    tovi::Texture later("Kobuldo/Textures/pixel.png");
    EXPECT_EQ(textureParameter(later.textureId, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    factory.applyMagnificationFilter(false);
    factory.applyMinificationFilter(false);
    EXPECT_EQ(textureParameter(later.textureId, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(later.textureId, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
