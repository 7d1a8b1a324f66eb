#include "scene/Track.h"

#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"

namespace tovi::scene {

Track::Track(const glm::mat4& model, tovi::ShaderProgram* program, tovi::PhysicsWorld* physicsWorld,
             std::string meshPath, AssetStore& assets)
    : TrackBase(model, meshPath), program(program), physicsWorld(physicsWorld) {
    mesh = assets.normalMappedMesh(meshPath + ".obj", program != nullptr ? program->programId : 0);
    if (physicsWorld != nullptr)
        bodyIndex = physicsWorld->addTrackBody(assets.collisionMesh(meshPath + ".stl"), modelMatrix);
    diffuseTexture = assets.texture(kDiffusePicture);
    normalTexture = assets.texture(kNormalPicture);
}

void Track::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0] + lightOffsetX, modelMatrix[3][1] + 6.0f,
                          modelMatrix[3][2] + lightOffsetZ);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), *mesh,
                     drawTint);
}

void Track::drawShadow() {
    mesh->drawShadow();
}

} // namespace tovi::scene
