// Cost of one particle update in play: the full pool of 20000 slots with the
// fountain's steady ~480 live particles, at 60 frames per second.
#include "core/view/ParticleSystem.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start, int calls) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

} // namespace

int main() {
    tovi::scene::ParticleSystem ps;
    ps.viewMatrix = glm::lookAt(glm::vec3(0, 10, 20), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
    const float dt = 1.0f / 60.0f;
    int frame = 0;
    auto emitter = [&frame] {
        const float t = static_cast<float>(frame) / 60.0f;
        return glm::vec3(std::sin(t) * 5.0f, 2.0f + t * 0.01f, std::cos(t) * 5.0f);
    };

    // Ten seconds of play fill the fountain to its steady size.
    for (; frame < 600; ++frame) {
        ps.updateParticles(dt, emitter());
    }

    const int calls = 20000;
    const Clock::time_point start = Clock::now();
    long drawn = 0;
    for (int i = 0; i < calls; ++i, ++frame) {
        ps.updateParticles(dt, emitter());
        drawn += ps.particleCount;
    }
    const double perCall = microsecondsSince(start, calls);

    // For comparison: sorting the whole pool as one block each frame.
    std::vector<tovi::scene::Particle> copy = ps.pool;
    const int sorts = 2000;
    const Clock::time_point sortStart = Clock::now();
    for (int i = 0; i < sorts; ++i) {
        copy = ps.pool;
        std::sort(copy.begin(), copy.end(),
                  [](const tovi::scene::Particle& a, const tovi::scene::Particle& b) {
                      return a.cameraDistance > b.cameraDistance;
                  });
    }
    const double fullSort = microsecondsSince(sortStart, sorts);

    std::printf("pool %d slots, %.1f live on average\n", ps.maxParticles, static_cast<double>(drawn) / calls);
    std::printf("updateParticles: %.2f us per call (%d calls)\n", perCall, calls);
    std::printf("reference: copy + std::sort of the whole pool: %.2f us\n", fullSort);
    return 0;
}
