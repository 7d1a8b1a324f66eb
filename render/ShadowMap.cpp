#include "render/ShadowMap.h"

#include "core/frame/FrameRules.h"
#include "core/mesh/SceneObject.h"
#include "render/ShaderProgram.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>

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

ShadowMap::Area ShadowMap::areaOf(const std::vector<scene::SceneObject*>& casters, const glm::mat4& lightVP) {
    // The light's projection is orthographic: a sphere covers a disc of the
    // same radius, 2 / kSize of clip space a texel.
    const float texelsPerClip = 0.5f * static_cast<float>(kSize);
    const float clipPerUnit = glm::length(glm::vec3(lightVP[0][0], lightVP[1][0], lightVP[2][0]));
    float x0 = 1.0f, y0 = 1.0f, x1 = -1.0f, y1 = -1.0f;
    for (const scene::SceneObject* caster : casters) {
        if (caster == nullptr)
            continue;
        const glm::mat4 m = caster->drawMatrix();
        const float scale = std::max(
            {glm::length(glm::vec3(m[0])), glm::length(glm::vec3(m[1])), glm::length(glm::vec3(m[2])), 1.0f});
        const glm::vec4 centre = lightVP * m[3];
        const float r = kPieceCullRadius * scale * clipPerUnit;
        x0 = std::min(x0, centre.x - r);
        y0 = std::min(y0, centre.y - r);
        x1 = std::max(x1, centre.x + r);
        y1 = std::max(y1, centre.y + r);
    }
    auto texel = [&](float clip) {
        const float t = std::floor((clip + 1.0f) * texelsPerClip);
        return static_cast<int>(std::clamp(t, 0.0f, static_cast<float>(kSize)));
    };
    if (x1 < x0 || y1 < y0)
        return {};
    return {texel(x0), texel(y0), std::min(kSize, texel(x1) + 1), std::min(kSize, texel(y1) + 1)};
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
    glUseProgram(program->programId);

    // Clear what the last pass drew and what this one draws, then draw
    // inside this one's area only, so nothing outside it is ever written.
    const glm::mat4 lightVP = lightProjection() * lightView();
    const Area area = areaOf(casters, lightVP);
    const bool drawing = area.x1 > area.x0 && area.y1 > area.y0;
    Area clear = lastArea;
    if (drawing && clear.x1 > clear.x0 && clear.y1 > clear.y0)
        clear = {std::min(clear.x0, area.x0), std::min(clear.y0, area.y0), std::max(clear.x1, area.x1),
                 std::max(clear.y1, area.y1)};
    else if (drawing)
        clear = area;
    glEnable(GL_SCISSOR_TEST);
    if (clear.x1 > clear.x0 && clear.y1 > clear.y0) {
        glScissor(clear.x0, clear.y0, clear.x1 - clear.x0, clear.y1 - clear.y0);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    if (drawing) {
        glScissor(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
        for (scene::SceneObject* caster : casters) {
            if (caster == nullptr)
                continue;
            const glm::mat4 depthMVP = lightVP * caster->drawMatrix();
            glUniformMatrix4fv(depthMvpLocation, 1, GL_FALSE, glm::value_ptr(depthMVP));
            caster->drawShadow();
        }
    }
    glDisable(GL_SCISSOR_TEST);
    lastArea = area;

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, viewportWidth, viewportHeight);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    depthBiasVP = biasMatrix() * lightVP;
    glBindVertexArray(0);
}

} // namespace tovi
