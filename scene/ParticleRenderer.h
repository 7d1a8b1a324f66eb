#pragma once
#include "render/GL.h"
#include "scene/ParticleSystem.h"
#include "scene/SceneObject.h"

namespace tovi {
class Controls;
class ShaderProgram;
class Texture;
} // namespace tovi

namespace tovi::scene {

// The ball's particle fountain on screen: the simulation in `particles`, drawn
// as camera-facing textured quads with one instanced call.
class ParticleRenderer : public SceneObject {
  public:
    // controls is read for particleBlending; without it particles blend.
    ParticleRenderer(const glm::mat4& model, const tovi::Controls* controls);
    ~ParticleRenderer() override;
    ParticleRenderer(const ParticleRenderer&) = delete;
    ParticleRenderer& operator=(const ParticleRenderer&) = delete;

    // Particles move in updateParticles, called by the frame update.
    void update(float) override {}
    // Needs particles.viewMatrix and particles.projectionMatrix set for the
    // frame. Clears the depth buffer first: particles are never hidden.
    void draw() override;
    // Particles cast no shadow.
    void drawShadow() override {}

    void updateParticles(float timeStep, const glm::vec3& emitter) {
        particles.updateParticles(timeStep, emitter);
    }

    tovi::scene::ParticleSystem particles;

  private:
    const tovi::Controls* controls;
    GLuint vertexArray = 0;
    tovi::ShaderProgram* program = nullptr;
    GLint camRightLocation = -1;
    GLint camUpLocation = -1;
    GLint vpLocation = -1;
    GLint samplerLocation = -1;
    tovi::Texture* texture = nullptr;
    GLuint quadBuffer = 0;
    GLuint positionSizeBuffer = 0;
    GLuint colorBuffer = 0;
};

} // namespace tovi::scene
