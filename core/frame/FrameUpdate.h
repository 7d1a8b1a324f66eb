#pragma once
#include <glm/glm.hpp>

class ViewFrustum;

namespace tovi {
class Controls;
class PhysicsWorld;
class MyCollision;
struct Rotationposition;
namespace scene {
class SceneObject;
class ParticleSystem;
} // namespace scene

// Everything the frame update advances, in the order it advances them.
struct FrameParts {
    Controls& controls;
    scene::SceneObject& ball;
    PhysicsWorld& physics;
    MyCollision& race;
    Rotationposition& rotation;
    scene::ParticleSystem& particles;
    ViewFrustum& frustum;
    glm::mat4& projection;
    glm::mat4& view;
};

// One frame: controls, camera matrices, ball, physics step, ball matrix, race
// rules, light offset (handed to every piece), particles, frustum. While the
// race is paused only the controls run.
void frameUpdate(FrameParts& parts, double deltaTime);

} // namespace tovi
