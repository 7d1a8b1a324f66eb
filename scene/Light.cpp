#include "scene/Light.h"

#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"

namespace tovi::scene {

Light::Light(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets)
    : SceneObject(model), program(program) {
    const GLuint id = program != nullptr ? program->programId : 0;
    mesh = assets.plainMesh(kMesh, id);
    farMesh = assets.plainMesh(kFarMesh, id);
    if (farMesh->indexCount() == 0)
        farMesh = mesh;
    texture = assets.texture(kPicture);
}

void Light::draw() {
    if (program == nullptr)
        return;
    const GLuint id = program->programId;
    glUseProgram(id);
    glUniform1i(glGetUniformLocation(id, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    mesh->draw();
}

} // namespace tovi::scene
