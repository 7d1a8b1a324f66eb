#pragma once
// The fixed race frame of FramePicture.h, set up in the running game and
// drawn by its own frame composition (bench_game --picture).
#include "FramePicture.h"

#include "app/FrameComposition.h"
#include "app/Globals.h"
#include "core/controls/Controls.h"
#include "core/frame/Rotationposition.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "core/system/Clock.h"
#include "core/view/ViewFrustum.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"

#include <glm/gtc/matrix_transform.hpp>

namespace bench {

// The fixed race frame (see FramePicture.h), drawn by the game's frame
// composition into the back buffer and saved from there.
inline bool drawFixedFrame(const std::string& path) {
    tovi::setTickSource([] { return 100000.0; });
    tovi::myCollision->startRace();
    glm::mat4 ball(1.0f);
    // One frame first with the ball far off the course, so the fixed frame
    // follows another one as in a race.
    ball[3] = glm::vec4(40.0f, 20.0f, -40.0f, 1.0f);
    tovi::ball->modelMatrix = ball;
    tovi::drawFrame();
    ball[3] = glm::vec4(-5.5f, 62.3f, 21.2f, 1.0f);
    tovi::ball->modelMatrix = ball;
    tovi::ball->update(0.0f);
    const glm::vec3 at(ball[3]);
    const glm::vec3 eye = at + glm::vec3(4.0f, 8.0f, 1.0f), target = at + glm::vec3(-6.0f, -4.0f, -1.0f);
    tovi::viewMatrix = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    // What is out of sight is judged from the same camera.
    frustum->setCamDef(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    tovi::projectionMatrix = glm::perspective(glm::radians(45.0f), 1000.0f / 780.0f, 0.1f, 100.0f);
    tovi::rotationposition->offsetX = 2.5f;
    tovi::rotationposition->offsetZ = -3.1f;
    // The pieces light themselves from the same offsets (the frame update
    // hands them on; no update runs here).
    for (tovi::scene::SceneObject* piece : tovi::tracks)
        if (auto* track = dynamic_cast<tovi::scene::TrackBase*>(piece)) {
            track->lightOffsetX = tovi::rotationposition->offsetX;
            track->lightOffsetZ = tovi::rotationposition->offsetZ;
        }
    tovi::controls->display.showFrameRate = false;
    tovi::controls->display.frustumCulling = false;
    tovi::scene::ParticleRenderer* particles = tovi::particleRenderer;
    tovi::particleRenderer = nullptr;
    tovi::drawFrame();
    tovi::particleRenderer = particles;
    glFinish();
    const bool saved = savePicture(readBackBuffer(tovi::screenWidth, tovi::screenHeight), path);
    tovi::setTickSource({});
    return saved;
}

} // namespace bench
