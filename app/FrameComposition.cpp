#include "app/FrameComposition.h"

#include "app/ModalView.h"

#include "core/controls/Controls.h"
#include "core/course/CourseList.h"
#include "core/frame/FrameRules.h"
#include "core/race/MedalLines.h"
#include "core/race/MyCollision.h"
#include "core/view/ViewFrustum.h"
#include "render/GL.h"
#include "render/OffscreenBuffer.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SkyBox.h"
#include "render/TextRenderer.h"
#include "scene/FallMarker.h"
#include "scene/Light.h"
#include "scene/ParticleRenderer.h"
#include "scene/PieceBatches.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <utility>

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
        text.printText(line.text.c_str(), static_cast<float>(line.x), static_cast<float>(line.y),
                       static_cast<float>(kHudGlyphSize), line.colour, line.centred);
    }
}

// Pieces of text in their colours (the medal lines); the list is kept from
// frame to frame.
void drawPieces(TextRenderer& text, const std::vector<TextPiece>& pieces) {
    for (const TextPiece& piece : pieces)
        text.printText(piece.text.c_str(), piece.x, piece.y, piece.size, piece.colour);
}

// The small print of this scene frame.
void drawSmallPrint(TextRenderer& text, const FrameInputs& frame) {
    if (frame.statusLines != nullptr) {
        const std::vector<std::string>& lines = *frame.statusLines;
        const bool aboveNotice = frame.notice != nullptr && !frame.notice->empty();
        for (std::size_t i = 0; i < lines.size(); ++i)
            text.printText(lines[i].c_str(), kStatusLeft, statusLineY(i, lines.size(), aboveNotice),
                           kSmallGlyph);
    }
}

// What the ball and the pieces need from the frame: camera, light matrix and
// the shadow map on texture unit 4.
void useShadowReceiver(const ShaderProgram& shader, const FrameInputs& frame) {
    const GLuint id = shader.programId;
    glUseProgram(id);
    if (frame.shadowMap != nullptr) {
        setMatrix(id, "depthBiasVP", frame.shadowMap->depthBiasVP);
        glActiveTexture(GL_TEXTURE4);
        glBindTexture(GL_TEXTURE_2D, frame.shadowMap->depthTexture());
        glActiveTexture(GL_TEXTURE0);
    }
    glUniform1i(glGetUniformLocation(id, "shadowMap"), 4);
    setMatrix(id, "P", frame.projection);
    setMatrix(id, "V", frame.view);
}

// The pieces that may be seen, nearest the camera first, so the depth test
// skips the pixels of farther pieces they cover before shading them; `drawn`
// is how many. The order lives in buffers kept from frame to frame: no
// allocation once they have grown.
const std::vector<scene::SceneObject*>& visibleNearestFirst(const std::vector<scene::SceneObject*>& pieces,
                                                            const FrameInputs& frame, int& drawn) {
    static std::vector<std::pair<float, scene::SceneObject*>> byDistance;
    static std::vector<scene::SceneObject*> ordered;
    const glm::vec3 eye(glm::inverse(frame.view)[3]);
    byDistance.clear();
    drawn =
        drawVisiblePieces(pieces, frame.culling, frame.frustum, [&](std::size_t, scene::SceneObject& piece) {
            const glm::vec3 offset = glm::vec3(piece.modelMatrix[3]) - eye;
            byDistance.emplace_back(glm::dot(offset, offset), &piece);
        });
    std::stable_sort(byDistance.begin(), byDistance.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ordered.clear();
    for (const auto& entry : byDistance)
        ordered.push_back(entry.second);
    return ordered;
}

// Both outputs and the depth in one clear.
void clearSceneOutputs(GLuint sceneFramebuffer, int screenWidth, int screenHeight) {
    const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glViewport(0, 0, screenWidth, screenHeight);
    glDrawBuffers(2, outputs);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int drawSceneFrame(const FrameInputs& frame) {
    static const std::vector<scene::SceneObject*> kNone;
    const std::vector<scene::SceneObject*>& pieces = frame.pieces != nullptr ? *frame.pieces : kNone;
    const std::vector<scene::SceneObject*>& rings = frame.rings != nullptr ? *frame.rings : kNone;
    // The composition writes every pixel of the window; without it the
    // window starts from a cleared one.
    if (frame.offscreen == nullptr || frame.composeShader == nullptr)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (frame.shadowMap != nullptr)
        frame.shadowMap->drawShadowPass(frame.shadowCasters != nullptr ? *frame.shadowCasters : kNone,
                                        frame.width, frame.height, frame.batches);

    if (frame.offscreen != nullptr)
        clearSceneOutputs(frame.offscreen->sceneFramebuffer(), frame.width, frame.height);

    if (frame.wireframe)
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);

    if (frame.text != nullptr) {
        HudState hud;
        hud.raceState = frame.race->state;
        hud.raceTime = frame.race->elapsed();
        hud.bestTime = frame.bestTime;
        hud.passedRings = frame.race->passedRings.size();
        hud.ringCount = rings.size();
        hud.showFrameRate = frame.showFrameRate;
        hud.deltaTime = frame.deltaTime;
        hud.culledCount = frame.culledCount;
        if (frame.notice != nullptr)
            hud.notice = *frame.notice;
        hud.split = frame.race->ghost.split(hud.raceTime);
        hud.paused = frame.race->paused();
        drawHud(*frame.text, hud);
        if (hud.raceState == MyCollision::Racing) {
            static std::vector<TextPiece> medal;
            medal.clear();
            raceMedalPieces(frame.raceAuthor, hud.raceTime, medal);
            drawPieces(*frame.text, medal);
        }
        drawSmallPrint(*frame.text, frame);
    }

    if (frame.ball != nullptr && frame.ballShader != nullptr) {
        useShadowReceiver(*frame.ballShader, frame);
        frame.ball->draw();
    }

    const glm::mat4 viewProjection = frame.projection * frame.view;
    int drawn = 0;
    if (frame.ringShader != nullptr) {
        const GLuint id = frame.ringShader->programId;
        glUseProgram(id);
        setMatrix(id, "view_proj", viewProjection);
        glUniform1i(glGetUniformLocation(id, "color_texture"), 0);
        drawn += drawVisibleRings(rings, frame.race->passedRings, frame.culling, frame.frustum,
                                  [](std::size_t, scene::SceneObject& ring) { ring.draw(); });
    }

    const bool withLamps =
        frame.lamp != nullptr && frame.ringShader != nullptr && frame.lamp->program != nullptr;
    if (frame.pieceShader != nullptr && frame.batches != nullptr) {
        int piecesDrawn = 0;
        const std::vector<scene::SceneObject*>& visible = visibleNearestFirst(pieces, frame, piecesDrawn);
        useShadowReceiver(frame.batches->pieceProgram(), frame);
        frame.batches->draw(visible, withLamps ? frame.lamp : nullptr, frame.lampOffset, viewProjection,
                            glm::vec3(glm::inverse(frame.view)[3]));
        drawn += piecesDrawn;
    } else if (frame.pieceShader != nullptr) {
        useShadowReceiver(*frame.pieceShader, frame);
        int piecesDrawn = 0;
        for (scene::SceneObject* piece : visibleNearestFirst(pieces, frame, piecesDrawn)) {
            piece->draw();
            if (frame.lamp == nullptr || frame.ringShader == nullptr)
                continue;
            // The lamp circles 6 above the piece's origin.
            glm::mat4 lamp = piece->drawMatrix();
            lamp[3][0] += frame.lampOffset.x;
            lamp[3][1] += 6.0f;
            lamp[3][2] += frame.lampOffset.y;
            const GLuint id = frame.ringShader->programId;
            glUseProgram(id);
            setMatrix(id, "view_proj", viewProjection);
            setMatrix(id, "model", lamp);
            frame.lamp->draw();
        }
        drawn += piecesDrawn;
    }

    // The sky after everything solid: it lies just in front of the far plane,
    // so the depth test skips the pixels already covered before shading them.
    if (frame.sky != nullptr && frame.skyShader != nullptr) {
        glDepthMask(GL_FALSE);
        const GLuint id = frame.skyShader->programId;
        glUseProgram(id);
        // The sky keeps its distance: the camera's turn without its position.
        setMatrix(id, "view", glm::mat4(glm::mat3(frame.view)));
        setMatrix(id, "projection", frame.projection);
        frame.sky->drawSkyBox();
        glDepthMask(GL_TRUE);
    }

    if (frame.ghost != nullptr && frame.ballShader != nullptr) {
        useShadowReceiver(*frame.ballShader, frame);
        frame.ghost->draw();
    }
    if (frame.fallMarker != nullptr && frame.showFallMarker)
        frame.fallMarker->draw(viewProjection, frame.fallPoint);

    if (frame.particles != nullptr) {
        frame.particles->particles.projectionMatrix = frame.projection;
        frame.particles->particles.viewMatrix = frame.view;
        frame.particles->draw(frame.particleBlending);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (frame.offscreen != nullptr && frame.blurShader != nullptr)
        frame.offscreen->blurPass(*frame.blurShader);
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (frame.offscreen != nullptr && frame.composeShader != nullptr)
        frame.offscreen->composePass(*frame.composeShader);
    return culledObjectCount(rings.size(), pieces.size(), drawn);
}

// The chosen course's lines in the lower left corner of a picture, where the
// start, win and lose pictures leave room for them.
void drawCourseLines(const FrameInputs& frame) {
    if (frame.text == nullptr || frame.courses == nullptr)
        return;
    const std::array<std::string, 4> lines = frame.courses->screenLines(frame.bestTime);
    int y = 83;
    for (const std::string& line : lines) {
        frame.text->printText(line.c_str(), y);
        y -= 24;
    }
    if (frame.medals != nullptr) {
        // The medal earned shows on the win and lose screens only.
        MedalScreen medals = *frame.medals;
        medals.finished = medals.finished && frame.race != nullptr &&
                          (frame.race->state == MyCollision::Won || frame.race->state == MyCollision::Lost);
        static std::vector<TextPiece> pieces;
        pieces.clear();
        medalScreenPieces(medals, pieces);
        drawPieces(*frame.text, pieces);
    }
}

// The player's message over a full-screen picture.
void drawPictureNotice(const FrameInputs& frame) {
    if (frame.text != nullptr && frame.notice != nullptr && !frame.notice->empty())
        frame.text->printText(frame.notice->c_str(), kPictureNoticeLineY);
}

// A full-screen picture on a cleared window, the chosen course's lines and
// the player's message over it.
template <typename DrawPicture> void drawPictureScreen(const FrameInputs& frame, DrawPicture drawPicture) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPicture();
    drawCourseLines(frame);
    drawPictureNotice(frame);
}

} // namespace

void drawStartScreen(RacePictures& pictures, const FrameInputs& frame) {
    drawPictureScreen(frame, [&] { pictures.drawStartScreen(); });
}

namespace {
int drawGameFrame(const FrameInputs& frame) {
    if (frame.race == nullptr) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return frame.culledCount;
    }
    if (frame.editMode)
        return drawSceneFrame(frame);
    MyCollision& race = *frame.race;
    switch (race.state) {
    case MyCollision::StartScreen:
        drawPictureScreen(frame, [&] { race.drawStartScreen(); });
        break;
    case MyCollision::Won:
        drawPictureScreen(frame, [&] { race.drawWinScreen(); });
        break;
    case MyCollision::Lost:
        drawPictureScreen(frame, [&] { race.drawLoseScreen(); });
        break;
    default:
        return drawSceneFrame(frame);
    }
    return frame.culledCount;
}
} // namespace

int drawFrame(const FrameInputs& frame) {
    const int culled = drawGameFrame(frame);
    if (frame.text != nullptr && frame.modalLines != nullptr)
        drawModalLines(*frame.text, *frame.modalLines, frame.width, frame.height);
    return culled;
}

void takeControls(const Controls& controls, FrameInputs& frame) {
    frame.editMode = controls.editing.editMode;
    frame.wireframe = controls.display.wireframe;
    frame.culling = controls.display.frustumCulling;
    frame.particleBlending = controls.display.particleBlending;
    frame.showFrameRate = controls.display.showFrameRate;
    frame.bestTime = controls.course.bestTime;
    frame.medals = &controls.course.medalScreen;
    frame.raceAuthor = controls.course.raceAuthor;
    frame.notice = &controls.notice.text;
    frame.showFallMarker = controls.check.showFallMarker;
    frame.fallPoint = controls.check.fallMarker;
}

} // namespace tovi
