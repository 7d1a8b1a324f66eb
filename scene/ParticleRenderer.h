#pragma once
#include "core/mesh/SceneObject.h"
#include "core/view/ParticleSystem.h"
#include "render/GL.h"

#include <memory>

namespace tovi {
class ShaderProgram;
class Texture;
} // namespace tovi

namespace tovi::scene {

// The ball's particle fountain on screen: the simulation in `particles`, drawn
// as camera-facing textured quads with one instanced call.
class ParticleRenderer : public SceneObject {
  public:
    explicit ParticleRenderer(const glm::mat4& model);
    ~ParticleRenderer() override;
    ParticleRenderer(const ParticleRenderer&) = delete;
    ParticleRenderer& operator=(const ParticleRenderer&) = delete;

    static constexpr const char* kPicture = "Kobuldo/Textures/particle.png";

    // Particles move in updateParticles, called by the frame update.
    void update(float) override {}
    // Needs particles.viewMatrix and particles.projectionMatrix set for the
    // frame. Clears the depth buffer first: particles are never hidden.
    // blending off draws them opaque (F9).
    void draw(bool blending);
    void draw() override { draw(true); }
    // Particles cast no shadow.
    void drawShadow() override {}

    void updateParticles(float timeStep, const glm::vec3& emitter) {
        particles.updateParticles(timeStep, emitter);
    }

    tovi::scene::ParticleSystem particles;

  private:
    GLuint vertexArray = 0;
    std::unique_ptr<tovi::ShaderProgram> program;
    GLint camRightLocation = -1;
    GLint camUpLocation = -1;
    GLint vpLocation = -1;
    GLint samplerLocation = -1;
    std::unique_ptr<tovi::Texture> texture;
    GLuint quadBuffer = 0;
    GLuint positionSizeBuffer = 0;
    GLuint colorBuffer = 0;
};

} // namespace tovi::scene
