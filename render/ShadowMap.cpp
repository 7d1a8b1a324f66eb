#include "render/ShadowMap.h"

#include "core/mesh/SceneObject.h"
#include "render/ShaderProgram.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace tovi {

ShadowMap::ShadowMap() {
    program = std::make_unique<ShaderProgram>("Kobuldo/Shader/death.vert", "Kobuldo/Shader/death.frag");
    glUseProgram(program->programId);

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    depthMvpLocation = glGetUniformLocation(program->programId, "depthMVP");

    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);

    glGenTextures(1, &depthTextureId);
    glBindTexture(GL_TEXTURE_2D, depthTextureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT32, kSize, kSize, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTextureId, 0);
    // Depth only: no colour output to write or read.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    // An incomplete map only spoils the shadows; the game runs on.
    glCheckFramebufferStatus(GL_FRAMEBUFFER);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
}

ShadowMap::~ShadowMap() {
    program.reset();
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTextureId);
    glDeleteVertexArrays(1, &vertexArray);
}

glm::mat4 ShadowMap::lightProjection() {
    return glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 0.0f, 120.0f);
}

glm::mat4 ShadowMap::lightView() {
    return glm::lookAt(glm::vec3(1.0f, 120.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 ShadowMap::biasMatrix() {
    return glm::mat4(0.5f, 0.0f, 0.0f, 0.0f, //
                     0.0f, 0.5f, 0.0f, 0.0f, //
                     0.0f, 0.0f, 0.5f, 0.0f, //
                     0.5f, 0.5f, 0.5f, 1.0f);
}

void ShadowMap::drawShadowPass(const std::vector<scene::SceneObject*>& casters, int viewportWidth,
                               int viewportHeight) {
    glBindVertexArray(vertexArray);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, kSize, kSize);
    // Depth is only written with the test on; the game keeps it on anyway.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_DEPTH_BUFFER_BIT);
    glUseProgram(program->programId);

    const glm::mat4 lightVP = lightProjection() * lightView();
    for (scene::SceneObject* caster : casters) {
        if (caster == nullptr)
            continue;
        const glm::mat4 depthMVP = lightVP * caster->drawMatrix();
        glUniformMatrix4fv(depthMvpLocation, 1, GL_FALSE, glm::value_ptr(depthMVP));
        caster->drawShadow();
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, viewportWidth, viewportHeight);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    depthBiasVP = biasMatrix() * lightVP;
    glBindVertexArray(0);
}

} // namespace tovi
