#include "scene/GhostBall.h"

#include "render/ShaderProgram.h"
#include "scene/Pellix.h"

namespace tovi::scene {

void GhostBall::draw() {
    if (ball.program == nullptr)
        return;
    const GLuint program = ball.program->programId;
    glUseProgram(program);
    const GLint ghostLocation = glGetUniformLocation(program, "ghost");
    glUniform1f(ghostLocation, 1.0f);
    glEnable(GL_BLEND);
    // Colour blends; the picture's alpha stays as it is for the composition.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDepthMask(GL_FALSE);
    const glm::vec3 light(modelMatrix[3][0], modelMatrix[3][1] + 6.0f, modelMatrix[3][2]);
    drawNormalMapped(program, *ball.diffuseTexture, *ball.normalTexture, light, drawMatrix(), *ball.mesh);
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glUniform1f(ghostLocation, 0.0f);
}

} // namespace tovi::scene
