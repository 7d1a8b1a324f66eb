#include "core/frame/FrameUpdate.h"

#include "core/controls/Controls.h"
#include "core/frame/Rotationposition.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "core/view/ParticleSystem.h"
#include "core/view/ViewFrustum.h"
#include "physics/PhysicsWorld.h"

#include <cmath>

namespace tovi {

void Rotationposition::advance(double dt) {
    angle += static_cast<float>(20.0 * dt);
    const double radians = static_cast<double>(angle) * 3.14159265 / 180.0;
    offsetX = static_cast<float>(std::cos(radians) * static_cast<double>(radius));
    offsetZ = static_cast<float>(std::sin(radians) * static_cast<double>(radius));
}

void frameUpdate(FrameParts& parts, double deltaTime) {
    const float dt = static_cast<float>(deltaTime);

    parts.controls.update();
    parts.projection = parts.controls.camera.projection;
    parts.view = parts.controls.camera.view;
    // The editor's camera flies over a paused race too.
    parts.frustum.setCamDef(parts.controls.camera.eye, parts.controls.camera.target,
                            glm::vec3(0.0f, 1.0f, 0.0f));
    // A paused race stands still: ball, physics, rules, the light's orbit
    // and the particles wait, and the picture with them.
    if (parts.race.paused())
        return;

    parts.ball.update(dt);
    parts.physics.step(dt);
    parts.ball.modelMatrix = parts.physics.getBallModelMatrix();

    parts.race.update();
    parts.rotation.advance(deltaTime);
    // The lamps circle with the light: every piece lights itself from there.
    if (parts.controls.course.tracks != nullptr)
        for (scene::SceneObject* piece : *parts.controls.course.tracks)
            if (auto* track = dynamic_cast<scene::TrackBase*>(piece)) {
                track->lightOffsetX = parts.rotation.offsetX;
                track->lightOffsetZ = parts.rotation.offsetZ;
            }
    parts.particles.updateParticles(dt, glm::vec3(parts.ball.modelMatrix[3]));
}

} // namespace tovi
