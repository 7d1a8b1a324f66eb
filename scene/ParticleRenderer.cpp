#include "scene/ParticleRenderer.h"

#include "render/ShaderProgram.h"
#include "render/Texture.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

namespace tovi::scene {

namespace {
// A unit quad as a four-vertex triangle strip.
const GLfloat kQuad[12] = {
    -0.5f, -0.5f, 0.0f, 0.5f, -0.5f, 0.0f, -0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.0f,
};
} // namespace

ParticleRenderer::ParticleRenderer(const glm::mat4& model) : SceneObject(model) {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);

    program =
        std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/Particle.vert", "Kobuldo/Shader/Particle.frag");
    camRightLocation = glGetUniformLocation(program->programId, "camRightWorld");
    camUpLocation = glGetUniformLocation(program->programId, "camUpWorld");
    vpLocation = glGetUniformLocation(program->programId, "VP");
    samplerLocation = glGetUniformLocation(program->programId, "sampler");

    texture = std::make_unique<tovi::Texture>(kPicture);

    const GLsizeiptr slots = static_cast<GLsizeiptr>(particles.maxParticles);
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuad), kQuad, GL_STATIC_DRAW);
    glGenBuffers(1, &positionSizeBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glBufferData(GL_ARRAY_BUFFER, slots * 4 * static_cast<GLsizeiptr>(sizeof(GLfloat)), nullptr,
                 GL_STREAM_DRAW);
    glGenBuffers(1, &colorBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, colorBuffer);
    glBufferData(GL_ARRAY_BUFFER, slots * 4 * static_cast<GLsizeiptr>(sizeof(GLubyte)), nullptr,
                 GL_STREAM_DRAW);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

ParticleRenderer::~ParticleRenderer() {
    glDeleteBuffers(1, &colorBuffer);
    glDeleteBuffers(1, &positionSizeBuffer);
    glDeleteBuffers(1, &quadBuffer);
    program.reset();
    texture.reset();
    glDeleteVertexArrays(1, &vertexArray);
}

void ParticleRenderer::draw(bool blending) {
    glUseProgram(program->programId);
    glClear(GL_DEPTH_BUFFER_BIT);
    if (blending)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);

    glBindVertexArray(vertexArray);

    // Never upload more than the arrays hold, whatever the count says.
    const std::size_t live = static_cast<std::size_t>(std::max(particles.particleCount, 0));
    const std::size_t count =
        std::min({live, static_cast<std::size_t>(std::max(particles.maxParticles, 0)),
                  particles.positionSizeData.size() / 4, particles.colorData.size() / 4});
    const GLsizeiptr slots = static_cast<GLsizeiptr>(std::max(particles.maxParticles, 0));

    // Orphan the storage before the upload so the driver need not wait for
    // last frame's draw.
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glBufferData(GL_ARRAY_BUFFER, slots * 4 * static_cast<GLsizeiptr>(sizeof(GLfloat)), nullptr,
                 GL_STREAM_DRAW);
    if (count > 0)
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * 4 * sizeof(GLfloat)),
                        particles.positionSizeData.data());
    glBindBuffer(GL_ARRAY_BUFFER, colorBuffer);
    glBufferData(GL_ARRAY_BUFFER, slots * 4 * static_cast<GLsizeiptr>(sizeof(GLubyte)), nullptr,
                 GL_STREAM_DRAW);
    if (count > 0)
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * 4 * sizeof(GLubyte)),
                        particles.colorData.data());

    const glm::mat4& view = particles.viewMatrix;
    const glm::mat4 viewProjection = particles.projectionMatrix * view;

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glUniform1i(samplerLocation, 0);
    glUniform3f(camRightLocation, view[0][0], view[1][0], view[2][0]);
    glUniform3f(camUpLocation, view[0][1], view[1][1], view[2][1]);
    glUniformMatrix4fv(vpLocation, 1, GL_FALSE, glm::value_ptr(viewProjection));

    glEnableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(1);
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, colorBuffer);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);

    glVertexAttribDivisor(0, 0);
    glVertexAttribDivisor(1, 1);
    glVertexAttribDivisor(2, 1);

    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, static_cast<GLsizei>(count));

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(2);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

} // namespace tovi::scene
