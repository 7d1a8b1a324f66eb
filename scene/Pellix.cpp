#include "scene/Pellix.h"

#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"

namespace tovi::scene {

Pellix::Pellix(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets)
    : SceneObject(model), program(program) {
    mesh =
        assets.normalMappedMesh("Kobuldo/Objects/V2/shpere.obj", program != nullptr ? program->programId : 0);
    diffuseTexture = assets.texture(kDiffusePicture);
    normalTexture = assets.texture(kNormalPicture);
    head = std::make_unique<PellixHead>(glm::mat4(1.0f), program, assets);
}

void Pellix::update(float) {
    head->modelMatrix = headPlacement.place(glm::vec3(modelMatrix[3]));
}

void Pellix::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0], modelMatrix[3][1] + 6.0f, modelMatrix[3][2]);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), *mesh);
    head->draw();
}

void Pellix::drawShadow() {
    mesh->drawShadow();
}

} // namespace tovi::scene
