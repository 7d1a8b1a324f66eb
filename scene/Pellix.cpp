#include "scene/Pellix.h"

#include "render/ShaderProgram.h"

namespace tovi::scene {

Pellix::Pellix(const glm::mat4& model, tovi::ShaderProgram* program) : SceneObject(model), program(program) {
    mesh = loadNormalMappedMesh("Kobuldo/Objects/V2/shpere.obj");
    diffuseTexture = std::make_unique<Texture>("Kobuldo/Textures/pellixTex.jpg");
    normalTexture = std::make_unique<Texture>("Kobuldo/Textures/pellixTex-normal.jpg");
    buffers.upload(mesh, program != nullptr ? program->programId : 0, true);
    head = std::make_unique<PellixHead>(glm::mat4(1.0f), program);
}

void Pellix::update(float) {
    head->modelMatrix = headPlacement.place(glm::vec3(modelMatrix[3]));
}

void Pellix::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0], modelMatrix[3][1] + 6.0f, modelMatrix[3][2]);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), buffers);
    head->draw();
}

void Pellix::drawShadow() {
    buffers.drawShadow();
}

} // namespace tovi::scene
