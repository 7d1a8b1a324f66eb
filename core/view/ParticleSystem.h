#pragma once
#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

namespace tovi::scene {

struct Particle {
    glm::vec3 position{0.0f};
    glm::vec3 speed{0.0f};
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    float size = 0.0f;
    float life = -1.0f;           // seconds left; free when < 0
    float cameraDistance = -1.0f; // squared distance to the camera; -1 when dead
};

// The simulation half of the particle fountain (no GL): the fixed pool, the
// emitter, the motion and the far-to-near order, and the per-instance arrays
// the renderer uploads.
class ParticleSystem {
  public:
    static constexpr int kMaxParticles = 20000;

    ParticleSystem();

    // One frame: emit at most one particle at the emitter, move the live
    // ones, fill the instance arrays, sort the pool far to near.
    void updateParticles(float timeStep, const glm::vec3& emitter);
    int findFreeParticle();

    glm::mat4 viewMatrix{1.0f};       // copied in before each draw
    glm::mat4 projectionMatrix{1.0f}; // likewise
    int maxParticles = kMaxParticles;
    std::vector<Particle> pool;
    int lastUsedParticle = 0;
    std::vector<float> positionSizeData; // 4 per drawn particle
    std::vector<std::uint8_t> colorData; // 4 per drawn particle
    int particleCount = 0;
};

} // namespace tovi::scene
