#include "render/FrameComposition.h"

#include "app/Controls.h"
#include "app/Globals.h"
#include "app/MyCollision.h"
#include "app/Rotationposition.h"
#include "app/ViewFrustum.h"
#include "render/FrameRules.h"
#include "render/GL.h"
#include "render/OffscreenBuffer.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SkyBox.h"
#include "render/TextRenderer.h"
#include "scene/Light.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"
#include "scene/SceneObject.h"

#include <glm/gtc/type_ptr.hpp>

namespace tovi {

namespace {

void setMatrix(GLuint program, const char* name, const glm::mat4& matrix) {
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(matrix));
}

// The HUD lines of this scene frame, drawn into the bound framebuffer.
void drawHud(TextRenderer& text, const HudState& state) {
    const HudLines hud = hudLines(state);
    for (int i = 0; i < hud.count; ++i) {
        const HudLine& line = hud.lines[static_cast<std::size_t>(i)];
        text.printText(line.text.c_str(), line.y);
    }
}

// What the ball and the pieces need from the frame: camera, light matrix and
// the shadow map on texture unit 4.
void useShadowReceiver(const ShaderProgram& shader) {
    const GLuint id = shader.programId;
    glUseProgram(id);
    if (shadowMap != nullptr) {
        setMatrix(id, "depthBiasVP", shadowMap->depthBiasVP);
        glActiveTexture(GL_TEXTURE4);
        glBindTexture(GL_TEXTURE_2D, shadowMap->depthTexture());
        glActiveTexture(GL_TEXTURE0);
    }
    glUniform1i(glGetUniformLocation(id, "shadowMap"), 4);
    setMatrix(id, "P", projectionMatrix);
    setMatrix(id, "V", viewMatrix);
}

void clearSceneOutputs(GLuint sceneFramebuffer) {
    const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    for (GLenum output : outputs) {
        glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
        glViewport(0, 0, screenWidth, screenHeight);
        glDrawBuffer(output);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glViewport(0, 0, screenWidth, screenHeight);
    glDrawBuffers(2, outputs);
}

void drawSceneFrame() {
    const bool wireframe = controls != nullptr && controls->wireframe;
    const bool culling = controls != nullptr && controls->frustumCulling;

    // The ball casts a shadow with the pieces, only for the shadow pass.
    if (shadowMap != nullptr) {
        if (ball != nullptr)
            tracks.push_back(ball);
        shadowMap->drawShadowPass();
        if (ball != nullptr)
            tracks.pop_back();
    }

    if (offscreenBuffer != nullptr)
        clearSceneOutputs(offscreenBuffer->sceneFramebuffer());

    if (wireframe)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);

    if (textRenderer != nullptr) {
        HudState hud;
        hud.raceState = myCollision->state;
        hud.raceTime = myCollision->elapsed();
        hud.bestTime = controls != nullptr ? controls->bestTime : 0.0;
        hud.passedRings = myCollision->passedRings.size();
        hud.ringCount = rings.size();
        hud.showFrameRate = controls != nullptr && controls->showFrameRate;
        hud.deltaTime = deltaTime;
        hud.culledCount = culledCount;
        drawHud(*textRenderer, hud);
    }

    if (skyBox != nullptr && skyBoxShader != nullptr) {
        glDepthMask(GL_FALSE);
        const GLuint id = skyBoxShader->programId;
        glUseProgram(id);
        // The sky keeps its distance: the camera's turn without its position.
        setMatrix(id, "view", glm::mat4(glm::mat3(viewMatrix)));
        setMatrix(id, "projection", projectionMatrix);
        skyBox->drawSkyBox();
        glDepthMask(GL_TRUE);
    }

    if (ball != nullptr && lampertPhongShader != nullptr) {
        useShadowReceiver(*lampertPhongShader);
        ball->draw();
    }

    const glm::mat4 viewProjection = projectionMatrix * viewMatrix;
    int drawn = 0;
    if (defaultShader != nullptr) {
        const GLuint id = defaultShader->programId;
        glUseProgram(id);
        setMatrix(id, "view_proj", viewProjection);
        glUniform1i(glGetUniformLocation(id, "color_texture"), 0);
        drawn += drawVisibleRings(rings, myCollision->passedRings, culling, frustum,
                                  [](std::size_t, scene::SceneObject& ring) { ring.draw(); });
    }

    if (normalmapShader != nullptr) {
        useShadowReceiver(*normalmapShader);
        const float offsetX = rotationposition != nullptr ? rotationposition->offsetX : 0.0f;
        const float offsetZ = rotationposition != nullptr ? rotationposition->offsetZ : 0.0f;
        drawn += drawVisiblePieces(tracks, culling, frustum, [&](std::size_t, scene::SceneObject& piece) {
            if (auto* track = dynamic_cast<scene::TrackBase*>(&piece)) {
                track->lightOffsetX = offsetX;
                track->lightOffsetZ = offsetZ;
            }
            piece.draw();
            if (light == nullptr || defaultShader == nullptr)
                return;
            // The lamp circles 6 above the piece's origin.
            glm::mat4 lamp = piece.drawMatrix();
            lamp[3][0] += offsetX;
            lamp[3][1] += 6.0f;
            lamp[3][2] += offsetZ;
            const GLuint id = defaultShader->programId;
            glUseProgram(id);
            setMatrix(id, "view_proj", viewProjection);
            setMatrix(id, "model", lamp);
            light->draw();
        });
    }

    culledCount = culledObjectCount(rings.size(), tracks.size(), drawn);

    if (particleRenderer != nullptr) {
        particleRenderer->particles.projectionMatrix = projectionMatrix;
        particleRenderer->particles.viewMatrix = viewMatrix;
        particleRenderer->draw();
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (offscreenBuffer != nullptr)
        offscreenBuffer->blurPass();
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (offscreenBuffer != nullptr)
        offscreenBuffer->composePass();
}

} // namespace

void drawFrame() {
    if (myCollision == nullptr)
        return;
    switch (myCollision->state) {
    case MyCollision::StartScreen:
        myCollision->drawStartScreen();
        return;
    case MyCollision::Won:
        myCollision->drawWinScreen();
        return;
    case MyCollision::Lost:
        myCollision->drawLoseScreen();
        return;
    default:
        drawSceneFrame();
        return;
    }
}

} // namespace tovi
