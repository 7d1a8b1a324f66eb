#include "scene/Ring.h"

#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace tovi::scene {

Ring::Ring(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets)
    : SceneObject(model), program(program) {
    mesh = assets.plainMesh("Kobuldo/Objects/V2/ring.obj", program != nullptr ? program->programId : 0);
    texture = assets.texture(kPicture);
}

void Ring::update(float timeStep) {
    modelMatrix =
        modelMatrix * glm::rotate(glm::mat4(1.0f), glm::radians(90.0f * timeStep), glm::vec3(0, 1, 0));
}

void Ring::draw() {
    if (program == nullptr)
        return;
    const GLuint id = program->programId;
    glUseProgram(id);
    glUniform1i(glGetUniformLocation(id, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    const glm::mat4 model = drawMatrix();
    glUniformMatrix4fv(glGetUniformLocation(id, "model"), 1, GL_FALSE, glm::value_ptr(model));
    // The program is shared with the lamps: the tint is taken off after.
    const GLint tint = glGetUniformLocation(id, "tint");
    glUniform3f(tint, drawTint.x, drawTint.y, drawTint.z);
    mesh->draw();
    glUniform3f(tint, 0.0f, 0.0f, 0.0f);
}

void Ring::drawShadow() {
    mesh->drawShadow();
}

} // namespace tovi::scene
