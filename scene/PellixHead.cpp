#include "scene/PellixHead.h"

#include "render/ShaderProgram.h"

namespace tovi::scene {

PellixHead::PellixHead(const glm::mat4& model, tovi::ShaderProgram* program)
    : SceneObject(model), program(program) {
    mesh = loadNormalMappedMesh("Kobuldo/Objects/V2/pellixHead.obj");
    diffuseTexture = std::make_unique<Texture>("Kobuldo/Textures/pellixTex2.jpg");
    normalTexture = std::make_unique<Texture>("Kobuldo/Textures/pellixTex2-normal.jpg");
    buffers.upload(mesh, program != nullptr ? program->programId : 0, true);
}

void PellixHead::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0], modelMatrix[3][1] + 6.0f, modelMatrix[3][2]);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), buffers);
}

void PellixHead::drawShadow() {
    buffers.drawShadow();
}

} // namespace tovi::scene
