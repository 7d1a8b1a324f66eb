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
    instancedProgram =
        std::make_unique<ShaderProgram>("Kobuldo/Shader/death_instanced.vert", "Kobuldo/Shader/death.frag");
    lightVPLocation = glGetUniformLocation(instancedProgram->programId, "lightVP");
    glUseProgram(program->programId);

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    depthMvpLocation = glGetUniformLocation(program->programId, "depthMVP");

    framebuffer = makeDepthTarget(depthTextureId, kSize);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    savedFramebuffer = makeDepthTarget(savedTexture, kSavedSize);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindVertexArray(0);
}

GLuint ShadowMap::makeDepthTarget(GLuint& texture, int size) {
    GLuint target = 0;
    glGenFramebuffers(1, &target);
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // 16 bits: over the light's 120 units of depth a step is 0.002 units, a
    // twentieth of the smallest bias the receivers allow.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
                 nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, texture, 0);
    // Depth only: no colour output to write or read.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    // An incomplete map only spoils the shadows; the game runs on.
    glCheckFramebufferStatus(GL_FRAMEBUFFER);
    return target;
}

ShadowMap::~ShadowMap() {
    program.reset();
    instancedProgram.reset();
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &depthTextureId);
    glDeleteFramebuffers(1, &savedFramebuffer);
    glDeleteTextures(1, &savedTexture);
    glDeleteVertexArrays(1, &vertexArray);
}

glm::mat4 ShadowMap::lightProjection() {
    return glm::ortho(-50.0f, 50.0f, -50.0f, 50.0f, 0.0f, 120.0f);
}

glm::mat4 ShadowMap::lightView() {
    return glm::lookAt(glm::vec3(1.0f, 120.0f, 1.0f), glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

glm::mat4 ShadowMap::lightViewProjection(const glm::vec3& focus) {
    const glm::mat4 view = lightView();
    const glm::vec3 shift = glm::mat3(view) * (focus - kDefaultRaceStart);
    constexpr float kStep = 100.0f * static_cast<float>(kBoxStep) / static_cast<float>(kSize);
    const float x = std::round(shift.x / kStep) * kStep;
    const float y = std::round(shift.y / kStep) * kStep;
    // The view looks down its -z: a point moved by z is -z deeper.
    const float z = std::round(shift.z / kStep) * kStep;
    return glm::ortho(x - 50.0f, x + 50.0f, y - 50.0f, y + 50.0f, -z, 120.0f - z) * view;
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
        const glm::vec4 centre = lightVP * m[3];
        const float r = cullRadius(m, kPieceCullRadius) * clipPerUnit;
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

namespace {

bool isEmpty(const ShadowMap::Area& a) {
    return a.x1 <= a.x0 || a.y1 <= a.y0;
}

ShadowMap::Area unite(const ShadowMap::Area& a, const ShadowMap::Area& b) {
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

void scissor(const ShadowMap::Area& a) {
    glScissor(a.x0, a.y0, a.x1 - a.x0, a.y1 - a.y0);
}

// Copies the depth of `source` in one framebuffer to (x, y) in another,
// the scissor test off, and binds `bound` again.
void copyDepth(GLuint from, const ShadowMap::Area& source, GLuint to, int x, int y, GLuint bound) {
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    const int w = source.x1 - source.x0, h = source.y1 - source.y0;
    glBlitFramebuffer(source.x0, source.y0, source.x1, source.y1, x, y, x + w, y + h, GL_DEPTH_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, bound);
    glEnable(GL_SCISSOR_TEST);
}

} // namespace

void ShadowMap::drawShadowPass(const std::vector<scene::SceneObject*>& casters, int viewportWidth,
                               int viewportHeight, ShadowInstancer* instancer) {
    glBindVertexArray(vertexArray);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, kSize, kSize);
    // Depth is only written with the test on; the game keeps it on anyway.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    // Only what reaches the light's box can cast into the map. What the
    // instancer takes (the pieces, which stand still) is the fixed layer;
    // the rest (the ball) moves.
    const glm::mat4 lightVP = lightViewProjection(focus);
    fixedCasters.clear();
    movingCasters.clear();
    for (scene::SceneObject* caster : casters) {
        if (caster == nullptr)
            continue;
        const glm::mat4 m = caster->drawMatrix();
        if (!sphereInClipBox(lightVP, glm::vec3(m[3]), cullRadius(m, kPieceCullRadius)))
            continue;
        if (instancer != nullptr && instancer->take(*caster))
            fixedCasters.push_back(caster);
        else
            movingCasters.push_back(caster);
    }

    // Nothing outside the areas last drawn was ever written since the first,
    // whole clear: only those are cleared, and each draw is scissored to its
    // casters' square. The fixed layer is drawn again only when it changed;
    // otherwise the map is that layer once the moving casters' last square
    // is put back from the copy kept of it.
    glEnable(GL_SCISSOR_TEST);
    const bool redraw =
        instancer == nullptr || !fixedLayerValid || lightVP != fixedLightVP || instancer->takenChanged();
    if (redraw) {
        const Area area = areaOf(fixedCasters, lightVP);
        const Area clear = unite(unite(fixedArea, movingArea), area);
        if (!isEmpty(clear)) {
            scissor(clear);
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        if (instancer != nullptr) {
            scissor(area);
            glUseProgram(instancedProgram->programId);
            glUniformMatrix4fv(lightVPLocation, 1, GL_FALSE, glm::value_ptr(lightVP));
            instancer->drawTaken();
            // The instancer leaves its own arrays; the moving casters below
            // draw through the map's.
            glBindVertexArray(vertexArray);
        }
        fixedArea = area;
        fixedLightVP = lightVP;
        fixedLayerValid = instancer != nullptr;
    } else {
        instancer->keepTaken();
        if (!isEmpty(movingArea))
            copyDepth(savedFramebuffer, {0, 0, movingArea.x1 - movingArea.x0, movingArea.y1 - movingArea.y0},
                      framebuffer, movingArea.x0, movingArea.y0, framebuffer);
    }

    movingArea = areaOf(movingCasters, lightVP);
    if (!isEmpty(movingArea)) {
        if (movingArea.x1 - movingArea.x0 <= kSavedSize && movingArea.y1 - movingArea.y0 <= kSavedSize) {
            copyDepth(framebuffer, movingArea, savedFramebuffer, 0, 0, framebuffer);
        } else {
            fixedLayerValid = false; // too large to put back: draw it all next time
        }
        scissor(movingArea);
        glUseProgram(program->programId);
        for (scene::SceneObject* caster : movingCasters) {
            const glm::mat4 depthMVP = lightVP * caster->drawMatrix();
            glUniformMatrix4fv(depthMvpLocation, 1, GL_FALSE, glm::value_ptr(depthMVP));
            caster->drawShadow();
        }
    }
    glDisable(GL_SCISSOR_TEST);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, viewportWidth, viewportHeight);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);

    depthBiasVP = biasMatrix() * lightVP;
    glBindVertexArray(0);
}

} // namespace tovi
