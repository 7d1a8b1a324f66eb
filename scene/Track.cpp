#include "scene/Track.h"

#include "physics/PhysicsWorld.h"
#include "render/ShaderProgram.h"

#include <utility>
#include <vector>

namespace tovi::scene {

Track::Track(const glm::mat4& model, tovi::ShaderProgram* program, tovi::PhysicsWorld* physicsWorld,
             std::string meshPath)
    : TrackBase(model, meshPath), program(program), physicsWorld(physicsWorld) {
    mesh = loadNormalMappedMesh(meshPath + ".obj");

    std::vector<glm::vec3> collision;
    loadStlVertices(meshPath + ".stl", collision);
    if (physicsWorld != nullptr)
        bodyIndex = physicsWorld->addTrackBody(std::move(collision), modelMatrix);

    diffuseTexture = std::make_unique<Texture>("Kobuldo/Textures/wood.png");
    normalTexture = std::make_unique<Texture>("Kobuldo/Textures/wood-normal.png");

    buffers.upload(mesh, program != nullptr ? program->programId : 0, true);
}

void Track::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0] + lightOffsetX, modelMatrix[3][1] + 6.0f,
                          modelMatrix[3][2] + lightOffsetZ);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), buffers);
}

void Track::drawShadow() {
    buffers.drawShadow();
}

} // namespace tovi::scene
