// The GL scene objects: sky box, track pieces, rings, the ball with its head
// and the light marker. Each test runs in a fresh temporary folder holding its
// own small Kobuldo/ tree, built from tests/data/scene_objects.
#include "core/view/HeadPlacement.h"
#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "render/SkyBox.h"
#include "render/Texture.h"
#include "scene/Light.h"
#include "scene/Pellix.h"
#include "scene/Ring.h"
#include "scene/Track.h"
#include "tests/gl/SceneFixture.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <memory>
#include <string>

using tovi::ShaderProgram;
using namespace tovi::testing;

namespace {

// --- Sky box ----------------------------------------------------------------

TEST_F(SceneObjectsTest, SkyBoxFacesFollowTheCubeMapOrderAndDrawAroundTheCamera) {
    const char* names[6] = {"right.png", "left.png", "top.png", "bottom.png", "front.png", "back.png"};
    for (int i = 0; i < 6; ++i)
        installTexture(names[i],
                       {static_cast<unsigned char>(10 * i), 100, static_cast<unsigned char>(200 - i), 255});

    tovi::SkyBox sky;
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.cubeMap);
    for (int i = 0; i < 6; ++i) {
        Pixel pixel{};
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      pixel.data());
        EXPECT_EQ(pixel,
                  (Pixel{static_cast<unsigned char>(200 - i), 100, static_cast<unsigned char>(10 * i), 255}))
            << names[i];
    }
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    // Drawn as the frame does (culling on, depth writes off), the sky shows the
    // face the camera looks at, and depth writes come back on.
    ShaderProgram program((kData / "skybox.vert").string(), (kData / "skybox.frag").string());
    RenderTarget target;
    glEnable(GL_CULL_FACE);
    glUseProgram(program.programId);
    const glm::mat4 projection = glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 100.0f);
    glUniformMatrix4fv(glGetUniformLocation(program.programId, "projection"), 1, GL_FALSE,
                       glm::value_ptr(projection));
    struct Look {
        glm::vec3 direction;
        glm::vec3 up;
        int face;
    };
    const Look looks[] = {{{0, 0, -1}, {0, 1, 0}, 5}, {{0, 1, 0}, {0, 0, 1}, 2}, {{1, 0, 0}, {0, 1, 0}, 0}};
    for (const Look& look : looks) {
        const glm::mat4 view = glm::lookAt(glm::vec3(0.0f), look.direction, look.up);
        glUniformMatrix4fv(glGetUniformLocation(program.programId, "view"), 1, GL_FALSE,
                           glm::value_ptr(view));
        target.clear();
        glDepthMask(GL_FALSE);
        sky.drawSkyBox();
        const Pixel centre = target.at(RenderTarget::kSize / 2, RenderTarget::kSize / 2);
        EXPECT_EQ(centre, (Pixel{static_cast<unsigned char>(200 - look.face), 100,
                                 static_cast<unsigned char>(10 * look.face), 255}))
            << names[look.face];
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(depthWrites, GL_TRUE);
    }
    glDisable(GL_CULL_FACE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, SkyBoxWithoutPicturesIsBuiltWithEmptyFaces) {
    tovi::SkyBox sky;
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.cubeMap);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_Y, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    sky.drawSkyBox();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// --- Track pieces -----------------------------------------------------------

TEST_F(SceneObjectsTest, TrackTakesItsNameAndCollisionMeshFromTheMeshPath) {
    installMesh("left", true);
    tovi::PhysicsWorld world;
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(2, 3, 4));

    tovi::scene::Track piece(model, normalmap.get(), &world, kObjects + "left", assets);
    EXPECT_EQ(piece.pieceName, "left");
    expectNear(piece.modelMatrix, model);
    // The drawn quad: four distinct vertices, two triangles, with tangents.
    EXPECT_EQ(piece.mesh->vertexCount(), 4);
    EXPECT_EQ(piece.mesh->indexCount(), 6);
    EXPECT_NE(piece.mesh->tangentBuffer, 0u);

    ASSERT_EQ(piece.bodyIndex, 0);
    ASSERT_EQ(world.trackBodies.size(), 1u);
    // The body views the kind's shared tree through its own scaling.
    const btCollisionShape* shape = world.trackBodies[0]->getCollisionShape();
    ASSERT_EQ(shape->getShapeType(), SCALED_TRIANGLE_MESH_SHAPE_PROXYTYPE);
    const auto* meshShape = static_cast<const btScaledBvhTriangleMeshShape*>(shape)->getChildShape();
    const auto* triangles = static_cast<const btTriangleMesh*>(meshShape->getMeshInterface());
    EXPECT_EQ(triangles->getNumTriangles(), 3); // nine STL vertices
    expectNear(world.getBodyMatrix(piece.bodyIndex), model);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, TrackDrawSetsItsLightSamplersAndDrawMatrix) {
    installMesh("straight", true);
    tovi::PhysicsWorld world;
    tovi::scene::Track piece(glm::translate(glm::mat4(1.0f), glm::vec3(10, 0, -4)), normalmap.get(), &world,
                             kObjects + "straight", assets);
    piece.lightOffsetX = 3.0f;
    piece.lightOffsetZ = 2.0f;
    piece.drawLift = 0.5f; // the editor's wobble: drawn higher, stored matrix unchanged
    piece.draw();

    const GLuint id = normalmap->programId;
    expectNear(uniformVec3(id, "lightPosWorld"), glm::vec3(13, 6, -2));
    expectNear(uniformMat4(id, "M"), glm::translate(glm::mat4(1.0f), glm::vec3(10, 0.5f, -4)));
    EXPECT_FLOAT_EQ(piece.modelMatrix[3][1], 0.0f);
    EXPECT_EQ(uniformInt(id, "DiffuseTextureSampler"), 0);
    EXPECT_EQ(uniformInt(id, "NormalTextureSampler"), 1);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), piece.diffuseTexture->textureId);
    EXPECT_EQ(boundTexture(GL_TEXTURE1), piece.normalTexture->textureId);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, TrackDrawsItsMeshAndItsShadowMesh) {
    installMesh("ramp", true);
    tovi::PhysicsWorld world;
    // Pushed to the right half of the target.
    const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0, 0));
    tovi::scene::Track piece(model, normalmap.get(), &world, kObjects + "ramp", assets);
    RenderTarget target;

    piece.draw();
    EXPECT_TRUE(target.drawnAt(11, 8));
    EXPECT_FALSE(target.drawnAt(4, 8));
    const Pixel colour = target.at(11, 8);
    EXPECT_EQ(colour[0], 255);
    EXPECT_NEAR(colour[1], 128, 3);

    // The shadow pass binds its own vertex array and program; the piece feeds
    // positions through location 0 and leaves it disabled again.
    target.clear();
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glUseProgram(shadow->programId);
    glUniformMatrix4fv(glGetUniformLocation(shadow->programId, "depthMVP"), 1, GL_FALSE,
                       glm::value_ptr(model));
    piece.drawShadow();
    EXPECT_TRUE(target.drawnAt(11, 8));
    EXPECT_FALSE(target.drawnAt(4, 8));
    GLint enabled = 1;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, PiecesOfAKindShareTheirAssetsAndLookTheSame) {
    installMesh("right", true);
    installTexture("wood.png", {0, 0, 255, 255});
    installTexture("wood-normal.png", {255, 128, 128, 255});
    tovi::PhysicsWorld world;
    // Side by side: left and right half of the target.
    auto first = std::make_unique<tovi::scene::Track>(glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f, 0, 0)),
                                                      normalmap.get(), &world, kObjects + "right", assets);
    tovi::scene::Track second(glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0, 0)), normalmap.get(), &world,
                              kObjects + "right", assets);
    EXPECT_EQ(first->mesh, second.mesh);
    EXPECT_EQ(first->diffuseTexture, second.diffuseTexture);
    EXPECT_EQ(first->normalTexture, second.normalTexture);
    // Each has its own body, placed where it is drawn.
    EXPECT_EQ(first->bodyIndex, 0);
    EXPECT_EQ(second.bodyIndex, 1);
    EXPECT_NE(world.trackBodies[0], world.trackBodies[1]);
    expectNear(world.getBodyMatrix(1), second.modelMatrix);

    // Both show the same wood.
    RenderTarget target;
    first->draw();
    second.draw();
    EXPECT_EQ(target.at(4, 8), target.at(12, 8));
    EXPECT_TRUE(target.drawnAt(4, 8));

    // Releasing one piece leaves the other whole; its body stays in the world.
    first.reset();
    EXPECT_EQ(world.trackBodies.size(), 2u);
    EXPECT_TRUE(glIsTexture(second.diffuseTexture->textureId));
    target.clear();
    second.draw();
    EXPECT_TRUE(target.drawnAt(12, 8));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, TrackWithoutMeshFilesGetsABodyAndDrawsNothing) {
    tovi::PhysicsWorld world;
    tovi::scene::Track piece(glm::mat4(1.0f), normalmap.get(), &world, kObjects + "straight", assets);
    EXPECT_EQ(piece.pieceName, "straight");
    EXPECT_EQ(piece.mesh->indexCount(), 0);
    EXPECT_EQ(piece.bodyIndex, 0);
    EXPECT_EQ(world.trackBodies.size(), 1u);

    // The next piece still gets the next index.
    installMesh("ramp", true);
    tovi::scene::Track next(glm::mat4(1.0f), normalmap.get(), &world, kObjects + "ramp", assets);
    EXPECT_EQ(next.bodyIndex, 1);

    RenderTarget target;
    piece.draw();
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glUseProgram(shadow->programId);
    piece.drawShadow();
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    EXPECT_FALSE(target.anythingDrawn());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, AttributesTheProgramLacksAreLeftUnbound) {
    // The default program has no tangent or bitangent input.
    installMesh("left", true);
    tovi::PhysicsWorld world;
    tovi::scene::Track piece(glm::mat4(1.0f), plain.get(), &world, kObjects + "left", assets);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glBindVertexArray(piece.mesh->vertexArray);
    GLint enabled = 0;
    glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(plain->programId, "uv")),
                        GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 1);
    glBindVertexArray(0);
}

// --- Rings ------------------------------------------------------------------

TEST_F(SceneObjectsTest, RingTurnsAboutItsOwnVerticalAxis) {
    tovi::scene::Ring ring(glm::mat4(1.0f), plain.get(), assets);
    ring.update(1.0f);
    expectNear(glm::vec3(ring.modelMatrix[0]), glm::vec3(0, 0, -1));
    expectNear(glm::vec3(ring.modelMatrix[3]), glm::vec3(0, 0, 0));

    // Placed, tilted and scaled: it stays in place and keeps its own axis.
    glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3));
    placed = glm::rotate(placed, glm::radians(90.0f), glm::vec3(1, 0, 0));
    placed = glm::scale(placed, glm::vec3(5.0f));
    tovi::scene::Ring tilted(placed, plain.get(), assets);
    tilted.update(0.5f);
    tilted.update(0.5f);
    expectNear(glm::vec3(tilted.modelMatrix[3]), glm::vec3(1, 2, 3));
    expectNear(glm::vec3(tilted.modelMatrix[1]), glm::vec3(placed[1]));
    expectNear(glm::vec3(tilted.modelMatrix[0]), -glm::vec3(placed[2]));
}

TEST_F(SceneObjectsTest, RingDrawsItsMeshWithItsTextureAndDrawMatrix) {
    installMesh("ring");
    installTexture("ring.jpg");
    tovi::scene::Ring ring(glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f, 0, 0)), plain.get(), assets);
    EXPECT_EQ(ring.mesh->vertexCount(), 6); // one vertex per corner
    ring.drawLift = 0.25f;

    RenderTarget target;
    const GLuint id = plain->programId;
    glUseProgram(id);
    glUniformMatrix4fv(glGetUniformLocation(id, "view_proj"), 1, GL_FALSE, glm::value_ptr(glm::mat4(1.0f)));
    ring.draw();
    EXPECT_EQ(uniformInt(id, "color_texture"), 0);
    expectNear(uniformMat4(id, "model"), glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f, 0.25f, 0)));
    EXPECT_EQ(boundTexture(GL_TEXTURE0), ring.texture->textureId);
    EXPECT_TRUE(target.drawnAt(4, 8));
    EXPECT_FALSE(target.drawnAt(12, 8));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// --- Ball and head ----------------------------------------------------------

TEST_F(SceneObjectsTest, BallPlacesItsHeadAndDrawsBothLitFromAbove) {
    installMesh("shpere");
    installMesh("pellixHead");
    tovi::scene::Pellix ball(glm::mat4(1.0f), normalmap.get(), assets);
    ASSERT_NE(ball.head, nullptr);
    EXPECT_GT(ball.mesh->indexCount(), 0);
    EXPECT_GT(ball.head->mesh->indexCount(), 0);
    EXPECT_NE(ball.mesh, ball.head->mesh);
    EXPECT_NE(ball.diffuseTexture->textureId, ball.head->diffuseTexture->textureId);

    // The head follows the ball's position as the placement rule says.
    tovi::scene::HeadPlacement reference;
    const glm::vec3 path[] = {{1, 2, 3}, {2, 2, 3}, {2, 2.5f, 4}};
    for (const glm::vec3& p : path) {
        ball.modelMatrix = glm::rotate(glm::translate(glm::mat4(1.0f), p), 1.0f, glm::vec3(0, 0, 1));
        ball.update(0.016f);
        expectNear(ball.head->modelMatrix, reference.place(p));
    }

    // Ball and head each light themselves from 6 above their own position;
    // the head draws last.
    const GLuint id = normalmap->programId;
    ball.draw();
    const glm::vec3 headPosition(ball.head->modelMatrix[3]);
    expectNear(uniformVec3(id, "lightPosWorld"), headPosition + glm::vec3(0, 6, 0));
    expectNear(uniformMat4(id, "M"), ball.head->modelMatrix);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), ball.head->diffuseTexture->textureId);

    ball.head->program = nullptr; // the ball's own uniforms only
    ball.draw();
    expectNear(uniformVec3(id, "lightPosWorld"), glm::vec3(2, 8.5f, 4));
    expectNear(uniformMat4(id, "M"), ball.modelMatrix);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), ball.diffuseTexture->textureId);
    EXPECT_EQ(boundTexture(GL_TEXTURE1), ball.normalTexture->textureId);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneObjectsTest, BallShadowIsTheBallMeshOnly) {
    installMesh("shpere");
    // Ball on the left half, head moved to the right half.
    installMesh("pellixHead");
    tovi::scene::Pellix ball(glm::translate(glm::mat4(1.0f), glm::vec3(-0.5f, 0, 0)), normalmap.get(),
                             assets);
    ball.head->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0, 0));

    RenderTarget target;
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glUseProgram(shadow->programId);
    glUniformMatrix4fv(glGetUniformLocation(shadow->programId, "depthMVP"), 1, GL_FALSE,
                       glm::value_ptr(ball.modelMatrix));
    ball.drawShadow();
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    EXPECT_TRUE(target.drawnAt(4, 8));
    EXPECT_FALSE(target.drawnAt(12, 8));

    // The full draw shows both.
    target.clear();
    ball.draw();
    EXPECT_TRUE(target.drawnAt(4, 8));
    EXPECT_TRUE(target.drawnAt(12, 8));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// --- Light marker -----------------------------------------------------------

TEST_F(SceneObjectsTest, LightMarkerDrawsWhereTheCallerPutsIt) {
    installMesh("light");
    installTexture("light.jpg");
    tovi::scene::Light lamp(glm::mat4(1.0f), plain.get(), assets);

    RenderTarget target;
    const GLuint id = plain->programId;
    glUseProgram(id);
    const glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 0));
    glUniformMatrix4fv(glGetUniformLocation(id, "view_proj"), 1, GL_FALSE, glm::value_ptr(glm::mat4(1.0f)));
    glUniformMatrix4fv(glGetUniformLocation(id, "model"), 1, GL_FALSE, glm::value_ptr(placed));
    lamp.draw();
    expectNear(uniformMat4(id, "model"), placed);
    EXPECT_EQ(uniformInt(id, "color_texture"), 0);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), lamp.texture->textureId);
    EXPECT_TRUE(target.drawnAt(12, 12));
    EXPECT_FALSE(target.drawnAt(4, 4));

    // Nothing in the shadow pass, nothing on update.
    target.clear();
    lamp.update(1.0f);
    lamp.drawShadow();
    EXPECT_FALSE(target.anythingDrawn());
    expectNear(lamp.modelMatrix, glm::mat4(1.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// --- Missing game data ------------------------------------------------------

TEST_F(SceneObjectsTest, ObjectsWithoutTheirFilesAreBuiltAndDrawNothing) {
    const size_t before = tovi::textureRegistry.textures().size();
    tovi::scene::Ring ring(glm::mat4(1.0f), plain.get(), assets);
    tovi::scene::Pellix ball(glm::mat4(1.0f), normalmap.get(), assets);
    tovi::scene::Light lamp(glm::mat4(1.0f), plain.get(), assets);
    // ring 1, ball 2, head 2, lamp 1
    EXPECT_EQ(tovi::textureRegistry.textures().size(), before + 6);
    EXPECT_EQ(ring.mesh->indexCount(), 0);
    EXPECT_EQ(ball.mesh->indexCount(), 0);
    EXPECT_EQ(ball.head->mesh->indexCount(), 0);
    EXPECT_EQ(lamp.mesh->indexCount(), 0);

    RenderTarget target;
    glUseProgram(plain->programId);
    glUniformMatrix4fv(glGetUniformLocation(plain->programId, "view_proj"), 1, GL_FALSE,
                       glm::value_ptr(glm::mat4(1.0f)));
    ring.update(0.5f);
    ring.draw();
    ball.update(0.016f);
    ball.draw();
    lamp.draw();
    EXPECT_FALSE(target.anythingDrawn());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
