#include "scene/Light.h"

#include "render/ShaderProgram.h"

namespace tovi::scene {

Light::Light(const glm::mat4& model, tovi::ShaderProgram* program) : SceneObject(model), program(program) {
    mesh = loadPlainMesh("Kobuldo/Objects/V2/light.obj");
    texture = std::make_unique<Texture>("Kobuldo/Textures/light.jpg");
    buffers.upload(mesh, program != nullptr ? program->programId : 0, false);
}

void Light::draw() {
    if (program == nullptr)
        return;
    const GLuint id = program->programId;
    glUseProgram(id);
    glUniform1i(glGetUniformLocation(id, "color_texture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    buffers.draw();
}

} // namespace tovi::scene
