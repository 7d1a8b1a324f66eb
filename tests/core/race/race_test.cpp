#include "tests/core/Harness.h"

#include "core/course/CourseFile.h"

#include "core/input/Keys.h"
#include <gtest/gtest.h>

using namespace tovi;
using namespace tovi::testing;

namespace {

struct RaceFixture : ::testing::Test {
    ManualTicks ticks;
    PhysicsWorld world;
    std::vector<scene::SceneObject*> rings;
    FakeBall ball;
    std::vector<std::unique_ptr<FakeRing>> owned;
    MyCollision race{rings, &ball, &world, 1000, 780};

    void SetUp() override {
        world.createGround();
        world.createBall();
    }
    void addRing(float x, float y, float z) {
        owned.push_back(std::make_unique<FakeRing>(at(x, y, z)));
        rings.push_back(owned.back().get());
    }
    void ballAt(float x, float y, float z) { ball.modelMatrix = at(x, y, z); }
};

TEST_F(RaceFixture, CourseWithoutRingsNeverCompletes) {
    race.startRace();
    for (int i = 0; i < 100; ++i) {
        ticks.now += 1000;
        race.update();
    }
    EXPECT_EQ(race.state, MyCollision::Racing);
}

TEST_F(RaceFixture, RingPassedOnlyWithinOneUnitAndOnlyOnce) {
    addRing(0, 2, 0);
    addRing(50, 0, 0);
    race.startRace();
    ballAt(0, 3.1f, 0);
    race.update();
    EXPECT_TRUE(race.passedRings.empty());
    ballAt(0, 2.9f, 0);
    race.update();
    race.update();
    race.update();
    EXPECT_EQ(race.passedRings, std::vector<unsigned>({0}));
}

TEST_F(RaceFixture, RingsInAnyOrderCompleteTheFrameAfterTheLast) {
    addRing(0, 0, 0);
    addRing(10, 0, 0);
    addRing(10, 0, 0.5f); // two rings close together pass in one frame
    race.bestTime = 60000;
    race.startRace();
    ballAt(10, 0, 0.25f);
    race.update();
    EXPECT_EQ(race.passedRings, std::vector<unsigned>({1, 2}));
    ticks.now += 5000;
    ballAt(0, 0, 0);
    race.update();
    EXPECT_EQ(race.state, MyCollision::Racing) << "the race ends in the frame after the last ring";
    race.update();
    EXPECT_EQ(race.state, MyCollision::Won);
    EXPECT_DOUBLE_EQ(race.bestTime, 5000);
}

TEST_F(RaceFixture, EqualTimeLosesAndFasterWins) {
    addRing(0, 0, 0);
    ballAt(0, 0, 0);
    race.bestTime = 1500;
    race.startRace();
    race.update();
    ticks.now += 1500;
    race.update();
    EXPECT_EQ(race.state, MyCollision::Lost);
    EXPECT_DOUBLE_EQ(race.bestTime, 1500);

    race.startRace();
    race.update();
    ticks.now += 1499;
    race.update();
    EXPECT_EQ(race.state, MyCollision::Won);
    EXPECT_DOUBLE_EQ(race.bestTime, 1499);
}

TEST_F(RaceFixture, RaceStartPutsAFreshBallAtTheStart) {
    race.startRace();
    glm::mat4 m = world.getBallModelMatrix();
    EXPECT_NEAR(m[3][0], -0.88f, 1e-5);
    EXPECT_NEAR(m[3][1], 65.8f, 1e-4);
    EXPECT_NEAR(m[3][2], 21.2f, 1e-5);
    EXPECT_EQ(race.state, MyCollision::Racing);
    EXPECT_DOUBLE_EQ(race.elapsed(), 0.0);
}

TEST(RaceAndControls, WinIsSavedByTheNextUpdate) {
    Harness h("ring 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\nbesttime 45000\n");
    ASSERT_EQ(h.rings.size(), 1u);
    h.tap(key::Enter);
    h.ball.modelMatrix = at(0, 0, 0);
    h.race->update(); // passes the ring
    h.ticks.now += 20000;
    h.race->update(); // completes
    ASSERT_EQ(h.race->state, MyCollision::Won);
    const double won = h.race->bestTime;
    EXPECT_LT(won, 45000);
    h.frame();
    CourseData saved;
    std::ostringstream log;
    ASSERT_TRUE(readCourseFile(h.trackPath, saved, log));
    EXPECT_NEAR(saved.bestTime, won, 1.0);
    EXPECT_EQ(saved.entries.size(), 1u);
    EXPECT_DOUBLE_EQ(h.controls->course.bestTime, won);
}

TEST(RaceAndControls, ResetThenForceWinWrites255555) {
    Harness h;
    h.tap(key::C);
    h.frame(200);
    h.tap(key::B);
    EXPECT_EQ(h.race->state, MyCollision::Won);
    h.frame();
    CourseData saved;
    std::ostringstream log;
    ASSERT_TRUE(readCourseFile(h.trackPath, saved, log));
    EXPECT_DOUBLE_EQ(saved.bestTime, 255555);
}

TEST(RaceAndControls, HoldingNKeepsTheTimerAtZero) {
    Harness h;
    h.input.press(key::N);
    for (int i = 0; i < 10; ++i) {
        h.controls->update();
        EXPECT_DOUBLE_EQ(h.race->elapsed(), 0.0);
        h.world.step(1.0f / 30.0f);
        h.ticks.now += 33;
    }
    glm::vec3 p(h.world.getBallModelMatrix()[3]);
    h.controls->update();
    EXPECT_NEAR(p.y, 65.8f, 0.1f) << "the ball is put back before every step";
}

TEST(RaceAndControls, EnterCopiesTheCourseBestTimeAndNKeepsTheRaceOne) {
    Harness h;
    h.race->bestTime = 1234;
    h.input.press(key::N);
    h.frame();
    h.input.releaseAll();
    EXPECT_DOUBLE_EQ(h.race->bestTime, 1234);
    h.frame(200);
    h.tap(key::Enter);
    EXPECT_DOUBLE_EQ(h.race->bestTime, 45000);
}

} // namespace
