#include "core/view/ParticleSystem.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using tovi::scene::Particle;
using tovi::scene::ParticleSystem;

int liveCount(const ParticleSystem& ps) {
    int live = 0;
    for (const Particle& p : ps.pool) {
        live += p.life > 0.0f ? 1 : 0;
    }
    return live;
}

// The invariants every update leaves: live slots first, far to near, dead
// slots after them marked -1, and one instance per live particle.
void expectOrderedPool(const ParticleSystem& ps) {
    const int live = liveCount(ps);
    EXPECT_EQ(ps.particleCount, live);
    for (int i = 0; i < static_cast<int>(ps.pool.size()); ++i) {
        const Particle& p = ps.pool[i];
        if (i < live) {
            ASSERT_GT(p.life, 0.0f) << "slot " << i;
            ASSERT_GE(p.cameraDistance, 0.0f) << "slot " << i;
            if (i > 0) {
                ASSERT_GE(ps.pool[i - 1].cameraDistance, p.cameraDistance) << "slot " << i;
            }
        } else {
            ASSERT_LT(p.life, 0.0f) << "slot " << i;
            ASSERT_EQ(p.cameraDistance, -1.0f) << "slot " << i;
        }
    }
}

TEST(Particles, StartsEmptyAndShortFramesEmitNothing) {
    ParticleSystem ps;
    ASSERT_EQ(ps.pool.size(), 20000u);
    ASSERT_EQ(ps.positionSizeData.size(), 4u * 20000u);
    ASSERT_EQ(ps.colorData.size(), 4u * 20000u);
    EXPECT_EQ(liveCount(ps), 0);

    for (int i = 0; i < 1000; ++i) {
        ps.updateParticles(0.0099f, glm::vec3(1, 2, 3));
    }
    EXPECT_EQ(liveCount(ps), 0);
    EXPECT_EQ(ps.particleCount, 0);

    // Long frames still emit only one particle each.
    ps.updateParticles(0.5f, glm::vec3(0.0f));
    EXPECT_EQ(liveCount(ps), 1);
}

TEST(Particles, SixtyFramesASecondKeepAboutFourHundredEightyAlive) {
    ParticleSystem ps;
    ps.viewMatrix = glm::lookAt(glm::vec3(0, 10, 20), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
    for (int frame = 0; frame < 600; ++frame) {
        const float t = static_cast<float>(frame) / 60.0f;
        ps.updateParticles(1.0f / 60.0f, glm::vec3(std::sin(t) * 5.0f, 2.0f, std::cos(t) * 5.0f));
        if (frame % 97 == 0) {
            expectOrderedPool(ps);
        }
    }
    EXPECT_NEAR(ps.particleCount, 480, 2);
    expectOrderedPool(ps);
}

TEST(Particles, NewParticleFollowsTheFountainRecipeAndMovesAtOnce) {
    const glm::vec3 emitter(1.0f, 2.0f, 3.0f);
    const float dt = 0.02f;

    std::srand(1234);
    int draws[8];
    for (int& d : draws) {
        d = std::rand();
    }
    auto spread = [](int r) { return static_cast<float>(r % 200 - 100) / 100.0f; };
    const glm::vec3 speed(spread(draws[2]) * 1.3f, 5.0f + spread(draws[1]) * 1.3f - 10.0f * dt * 0.5f,
                          spread(draws[0]) * 1.3f);

    std::srand(1234);
    ParticleSystem ps;
    ps.viewMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -10.0f)); // camera at z = 10
    ps.updateParticles(dt, emitter);
    ASSERT_EQ(ps.particleCount, 1);
    const Particle& p = ps.pool[0];
    EXPECT_FLOAT_EQ(p.life, 8.0f - dt);
    EXPECT_EQ(p.speed, speed);
    EXPECT_EQ(p.position, emitter + speed * dt);
    EXPECT_EQ(p.r, 200 + draws[3] % 50);
    EXPECT_EQ(p.g, 120 + draws[4] % 80);
    EXPECT_EQ(p.b, draws[5] % 30);
    EXPECT_EQ(p.a, (draws[6] % 256) / 3);
    EXPECT_FLOAT_EQ(p.size, static_cast<float>((draws[7] % 1000) / 4000.0 + 0.1));
    const glm::vec3 toCamera = p.position - glm::vec3(0.0f, 0.0f, 10.0f);
    EXPECT_FLOAT_EQ(p.cameraDistance, glm::dot(toCamera, toCamera));

    EXPECT_EQ(ps.positionSizeData[0], p.position.x);
    EXPECT_EQ(ps.positionSizeData[1], p.position.y);
    EXPECT_EQ(ps.positionSizeData[2], p.position.z);
    EXPECT_EQ(ps.positionSizeData[3], p.size);
    EXPECT_EQ(ps.colorData[0], p.r);
    EXPECT_EQ(ps.colorData[3], p.a);
}

TEST(Particles, FullPoolOverwritesTheFirstSlot) {
    ParticleSystem ps;
    for (int i = 0; i < ParticleSystem::kMaxParticles; ++i) {
        ps.pool[i].life = 5.0f;
        ps.pool[i].r = 1;
    }
    ps.pool[0].r = 7; // the particle that must give way
    ps.lastUsedParticle = 12345;
    EXPECT_EQ(ps.findFreeParticle(), 0);
    EXPECT_EQ(ps.lastUsedParticle, 12345);

    ps.updateParticles(0.02f, glm::vec3(0.0f));
    EXPECT_EQ(ps.lastUsedParticle, 12345);
    int fresh = 0;
    for (const Particle& p : ps.pool) {
        EXPECT_NE(p.r, 7);
        fresh += p.r >= 200 ? 1 : 0;
    }
    EXPECT_EQ(fresh, 1);
    EXPECT_EQ(ps.particleCount, ParticleSystem::kMaxParticles);
    expectOrderedPool(ps);
}

TEST(Particles, FreeSlotSearchWrapsAround) {
    ParticleSystem ps;
    for (Particle& p : ps.pool) {
        p.life = 1.0f;
    }
    ps.pool[10].life = -1.0f;
    ps.pool[500].life = -1.0f;
    ps.lastUsedParticle = 100;
    EXPECT_EQ(ps.findFreeParticle(), 500);
    EXPECT_EQ(ps.lastUsedParticle, 500);
    ps.pool[500].life = 1.0f;
    EXPECT_EQ(ps.findFreeParticle(), 10);
    EXPECT_EQ(ps.lastUsedParticle, 10);
}

TEST(Particles, DeadParticlesFreeTheirSlots) {
    // Half-second frames take a life of 8 exactly to 0: the slot must come
    // back free, so the pool never holds more than 16 particles.
    ParticleSystem ps;
    for (int frame = 0; frame < 200; ++frame) {
        ps.updateParticles(0.5f, glm::vec3(0.0f));
        EXPECT_LE(ps.particleCount, liveCount(ps));
    }
    int used = 0;
    for (const Particle& p : ps.pool) {
        used += p.life >= 0.0f ? 1 : 0;
    }
    EXPECT_LE(used, 16);
    EXPECT_EQ(ps.particleCount, 15);
    expectOrderedPool(ps);

    // Everything dies out once emission stops.
    for (int frame = 0; frame < 1000; ++frame) {
        ps.updateParticles(0.009f, glm::vec3(0.0f));
    }
    EXPECT_EQ(ps.particleCount, 0);
    expectOrderedPool(ps);
}

TEST(Particles, BrokenInputsLeaveThePoolSound) {
    ParticleSystem ps;
    for (int frame = 0; frame < 30; ++frame) {
        ps.updateParticles(1.0f / 60.0f, glm::vec3(0.0f));
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ps.updateParticles(nan, glm::vec3(0.0f));
    EXPECT_EQ(ps.particleCount, 30);
    ps.updateParticles(1.0f / 60.0f, glm::vec3(nan, 0.0f, 0.0f)); // no particle from a broken emitter
    EXPECT_EQ(ps.particleCount, 30);
    ps.viewMatrix = glm::mat4(0.0f); // no inverse
    ps.updateParticles(1.0f / 60.0f, glm::vec3(0.0f));
    EXPECT_EQ(ps.particleCount, 31);
    expectOrderedPool(ps);
}

} // namespace
