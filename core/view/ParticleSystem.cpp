#include "core/view/ParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tovi::scene {

namespace {

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// One of the fountain's spread factors, in [-1, 0.99].
float randomSpread() {
    return static_cast<float>(std::rand() % 200 - 100) / 100.0f;
}

} // namespace

ParticleSystem::ParticleSystem()
    : pool(kMaxParticles), positionSizeData(4 * kMaxParticles), colorData(4 * kMaxParticles) {}

int ParticleSystem::findFreeParticle() {
    const int count = std::min(maxParticles, static_cast<int>(pool.size()));
    const int start = std::clamp(lastUsedParticle, 0, count);
    for (int i = start; i < count; ++i) {
        if (pool[i].life < 0) {
            lastUsedParticle = i;
            return i;
        }
    }
    for (int i = 0; i < start; ++i) {
        if (pool[i].life < 0) {
            lastUsedParticle = i;
            return i;
        }
    }
    return 0; // every slot is live: the first one is overwritten
}

void ParticleSystem::updateParticles(float timeStep, const glm::vec3& emitter) {
    // A broken frame time would kill or scatter every particle at once.
    if (!std::isfinite(timeStep) || timeStep < 0.0f) {
        timeStep = 0.0f;
    }
    const int count = std::min(maxParticles, static_cast<int>(pool.size()));

    // At most one particle per frame, none for frames under 10 ms.
    const int newParticles = (timeStep * 100.0f >= 1.0f && isFinite(emitter) && count > 0) ? 1 : 0;
    for (int n = 0; n < newParticles; ++n) {
        Particle& p = pool[findFreeParticle()];
        p.life = 8.0f;
        p.position = emitter;
        const float qz = randomSpread();
        const float qy = randomSpread();
        const float qx = randomSpread();
        p.speed = glm::vec3(qx * 1.3f, 5.0f + qy * 1.3f, qz * 1.3f);
        p.r = static_cast<std::uint8_t>(200 + std::rand() % 50);
        p.g = static_cast<std::uint8_t>(120 + std::rand() % 80);
        p.b = static_cast<std::uint8_t>(std::rand() % 30);
        p.a = static_cast<std::uint8_t>((std::rand() % 256) / 3);
        p.size = static_cast<float>((std::rand() % 1000) / 4000.0 + 0.1);
    }

    glm::vec3 camera(glm::inverse(viewMatrix)[3]);
    if (!isFinite(camera)) {
        camera = glm::vec3(0.0f); // a degenerate view: any order will do
    }

    particleCount = 0;
    for (int i = 0; i < count; ++i) {
        Particle& p = pool[i];
        if (!(p.life > 0.0f)) {
            continue;
        }
        p.life -= timeStep;
        if (p.life > 0.0f) {
            p.speed.y -= 10.0f * timeStep * 0.5f;
            p.position += p.speed * timeStep;
            const glm::vec3 d = p.position - camera;
            p.cameraDistance = glm::dot(d, d);

            float* ps = &positionSizeData[4 * static_cast<std::size_t>(particleCount)];
            ps[0] = p.position.x;
            ps[1] = p.position.y;
            ps[2] = p.position.z;
            ps[3] = p.size;
            std::uint8_t* c = &colorData[4 * static_cast<std::size_t>(particleCount)];
            c[0] = p.r;
            c[1] = p.g;
            c[2] = p.b;
            c[3] = p.a;
            ++particleCount;
        } else {
            // Just died. Mark the slot free outright: a life that lands on
            // exactly 0 would otherwise be neither live nor free, lost for good.
            p.life = -1.0f;
            p.cameraDistance = -1.0f;
        }
    }

    // Far to near. Dead slots (distance -1) belong at the end whatever their
    // order, so only the live ones, moved to the front, need sorting.
    const auto live = std::partition(pool.begin(), pool.begin() + count,
                                     [](const Particle& p) { return p.cameraDistance >= 0.0f; });
    std::sort(pool.begin(), live,
              [](const Particle& a, const Particle& b) { return a.cameraDistance > b.cameraDistance; });
}

} // namespace tovi::scene
