#include "scene/PellixHead.h"

#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"

namespace tovi::scene {

PellixHead::PellixHead(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets)
    : SceneObject(model), program(program) {
    mesh = assets.normalMappedMesh("Kobuldo/Objects/V2/pellixHead.obj",
                                   program != nullptr ? program->programId : 0);
    diffuseTexture = assets.texture(kDiffusePicture);
    normalTexture = assets.texture(kNormalPicture);
}

void PellixHead::draw() {
    if (program == nullptr)
        return;
    const glm::vec3 light(modelMatrix[3][0], modelMatrix[3][1] + 6.0f, modelMatrix[3][2]);
    drawNormalMapped(program->programId, *diffuseTexture, *normalTexture, light, drawMatrix(), *mesh);
}

void PellixHead::drawShadow() {
    mesh->drawShadow();
}

} // namespace tovi::scene
