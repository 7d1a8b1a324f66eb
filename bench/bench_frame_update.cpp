// The frame update without GL, on the course's real collision meshes: the
// controls with no key held, the ball (its head placement), the physics step,
// the race rules, the orbiting light offset, the particles and the frustum,
// through tovi::frameUpdate exactly as the game calls it each frame. The
// GL-side objects are the stand-ins of the core tests; each piece gets the
// collision body from its own ".stl" file, as the game's pieces do.
//
// Each run starts a race and plays 10 s of 60 Hz frames (the ball rolls down
// the course); the figure is the mean time of one frame update per run.
//
//   bench_frame_update [--runs N] [--frames N]
#include "BenchSupport.h"

#include "../tests/core/TestFakes.h"
#include "core/controls/Controls.h"
#include "core/frame/FrameUpdate.h"
#include "core/frame/Rotationposition.h"
#include "core/race/MyCollision.h"
#include "core/view/HeadPlacement.h"
#include "core/view/ParticleSystem.h"
#include "core/view/ViewFrustum.h"
#include "physics/PhysicsWorld.h"

#include <cstring>
#include <memory>

namespace {

// A piece with its real collision mesh and nothing to draw.
class CollisionPiece : public tovi::scene::TrackBase {
  public:
    CollisionPiece(const glm::mat4& m, const std::string& meshPath, tovi::PhysicsWorld* world)
        : TrackBase(m, meshPath) {
        std::vector<glm::vec3> collision;
        loadStlVertices(meshPath + ".stl", collision);
        bodyIndex = world->addTrackBody(std::move(collision), modelMatrix);
    }
    void draw() override {}
    void drawShadow() override {}
};

class CollisionFactory : public tovi::testing::FakeFactory {
  public:
    using FakeFactory::FakeFactory;
    tovi::scene::SceneObject* makePiece(const std::string& meshPath, const glm::mat4& m) override {
        made.push_back(new CollisionPiece(m, meshPath, world));
        return made.back();
    }
};

// The ball's own update: it places its head on itself.
class HeadedBall : public tovi::scene::SceneObject {
  public:
    void update(float) override { head = placement.place(glm::vec3(modelMatrix[3])); }
    void draw() override {}
    void drawShadow() override {}
    tovi::scene::HeadPlacement placement;
    glm::mat4 head{1.0f};
};

struct RunFigures {
    double meanUs = 0, maxUs = 0, onCourse = 0;
    int pieces = 0;
};

RunFigures run(int frames) {
    tovi::PhysicsWorld world;
    world.createGround();
    world.createBall();
    std::vector<tovi::scene::SceneObject*> tracks, rings;
    HeadedBall ball;
    CollisionFactory factory(&world);
    tovi::testing::ScriptedInput input;
    input.cursorX = 500; // the window's centre: no mouse look
    input.cursorY = 390;
    tovi::MyCollision race(rings, &ball, &world, 1000, 780);
    tovi::ControlsContext c;
    c.input = &input;
    c.factory = &factory;
    c.tracks = &tracks;
    c.rings = &rings;
    c.physicsWorld = &world;
    c.myCollision = &race;
    std::unique_ptr<tovi::Controls> made;
    {
        bench::QuietStdout quiet;
        made = std::make_unique<tovi::Controls>(c);
    }
    tovi::Controls& controls = *made;
    tovi::Rotationposition rotation(0.0f, 0.0f, 0.0f, 4.0f);
    tovi::scene::ParticleSystem particles;
    ViewFrustum frustum;
    frustum.setCamInternals(0.39269909f, 1.3333334f, 0.1f, 100.0f);
    glm::mat4 projection(1.0f), view(1.0f);
    tovi::FrameParts parts{controls, ball, world, race, rotation, particles, frustum, projection, view};

    race.startRace();
    const double dt = 1.0 / 60.0;
    RunFigures f;
    f.pieces = static_cast<int>(tracks.size());
    long long total = 0, worst = 0;
    int onCourse = 0;
    for (int i = 0; i < frames; ++i) {
        input.seconds += dt;
        const long long start = bench::nowNs();
        tovi::frameUpdate(parts, dt);
        const long long spent = bench::nowNs() - start;
        total += spent;
        worst = std::max(worst, spent);
        if (ball.modelMatrix[3][1] > -4.0f)
            ++onCourse;
        if (race.state != tovi::MyCollision::Racing)
            race.startRace();
    }
    f.meanUs = static_cast<double>(total) / frames / 1e3;
    f.maxUs = static_cast<double>(worst) / 1e3;
    f.onCourse = static_cast<double>(onCourse) / frames;
    return f;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7, frames = 600;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--frames") == 0)
            frames = std::max(1, std::atoi(argv[++i]));
    }
    std::string label;
    bench::RunDir dir(bench::courseUnderTest(label));
    bench::fs::current_path(dir.root);

    std::printf("== Frame update without GL (%d frames of 1/60 s per run, %d runs) ==\n", frames, runs);
    std::printf("  %s\n", label.c_str());
    if (!dir.standIns.empty())
        bench::printInfo("stand-in meshes (not in the game data yet)", bench::joined(dir.standIns));
    std::vector<double> mean, worst, onCourse;
    int pieces = 0;
    run(60); // warm-up
    for (int r = 0; r < runs; ++r) {
        const RunFigures f = run(frames);
        mean.push_back(f.meanUs / 1000.0);
        worst.push_back(f.maxUs / 1000.0);
        onCourse.push_back(f.onCourse);
        pieces = f.pieces;
    }
    const bench::Summary s = bench::summarize(mean);
    bench::printInfo("pieces with collision bodies", std::to_string(pieces));
    bench::printFigure("frame update, mean per frame", bench::describe(s, "%.4f", "ms"), "<= 0.2 ms",
                       s.median <= 0.2);
    bench::printInfo("slowest single frame", bench::describe(bench::summarize(worst), "%.3f", "ms"));
    bench::printInfo("ball above the ground plane",
                     bench::describe(bench::summarize(onCourse), "%.2f", "of frames"));
    return 0;
}
