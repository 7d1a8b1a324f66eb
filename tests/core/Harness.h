#pragma once
#include "TestFakes.h"
#include "core/controls/Controls.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <memory>

namespace tovi::testing {

// The controls and the race on the real physics world, with scripted input,
// a hand-driven clock and a course file in a temporary folder. With savedAs
// (a path inside that folder) the course is read from the file and saved
// there instead, as an installed game saves to the player's folder. With
// start false the controls are left for the test to make from context().
struct Harness {
    explicit Harness(const std::string& course = "besttime 45000\n", const std::string& savedAs = "",
                     bool start = true)
        : savedAs(savedAs) {
        world.createGround();
        world.createBall();
        trackPath = dir.file("1.track");
        if (!course.empty())
            writeText(trackPath, course);
        race = std::make_unique<MyCollision>(rings, &ball, &world, 1000, 780);
        if (start)
            controls = std::make_unique<Controls>(context());
    }

    ControlsContext context() {
        ControlsContext c;
        c.input = &gate;
        c.modals = &modals;
        c.factory = &factory;
        c.tracks = &tracks;
        c.rings = &rings;
        c.physicsWorld = &world;
        c.myCollision = race.get();
        c.trackPath = savedAs.empty() ? trackPath : dir.file(savedAs);
        c.trackReadPath = trackPath;
        return c;
    }

    // One frame of the controls, then the clocks move on by ms.
    void frame(double ms = 16.0) {
        controls->update();
        input.wentDown.clear();
        ticks.now += ms;
        input.seconds += ms / 1000.0;
    }
    // A key held for exactly one frame.
    void tap(int key, double ms = 16.0) {
        input.press(key);
        frame(ms);
        input.release(key);
    }

    ManualTicks ticks;
    TempDir dir;
    std::string trackPath;
    std::string savedAs;
    PhysicsWorld world;
    std::vector<scene::SceneObject*> tracks;
    std::vector<scene::SceneObject*> rings;
    FakeBall ball;
    FakeFactory factory{&world};
    ScriptedInput input;
    // The game's view of the input: held back while a modal is open.
    ModalStack modals;
    ModalGate gate{input, modals};
    std::unique_ptr<MyCollision> race;
    std::unique_ptr<Controls> controls;
};

inline glm::mat4 at(float x, float y, float z) {
    glm::mat4 m(1.0f);
    m[3] = glm::vec4(x, y, z, 1.0f);
    return m;
}

} // namespace tovi::testing
