#include "tests/core/Harness.h"

#include "core/input/Keys.h"
#include "core/player/KeyBindings.h"
#include "core/player/Progress.h"
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace tovi;
using namespace tovi::testing;

namespace {

TEST(Controls, TwoKeysPressedInOneFrameBothAct) {
    Harness h;
    h.frame(200);
    h.input.press(key::F2);
    h.input.press(key::F3);
    h.frame();
    EXPECT_TRUE(h.controls->display.showFrameRate);
    EXPECT_TRUE(h.controls->display.wireframe);
}

// One press, one action: a toggle held over many frames acts once, and again
// only after it was released and pressed anew.
TEST(Controls, AHeldToggleActsOncePerPress) {
    Harness h;
    h.frame(200);
    h.input.press(key::F8);
    for (int i = 0; i < 10; ++i)
        h.frame(50);
    EXPECT_TRUE(h.controls->display.frustumCulling);
    h.input.release(key::F8);
    h.frame();
    EXPECT_TRUE(h.controls->display.frustumCulling);
    h.tap(key::F8);
    EXPECT_FALSE(h.controls->display.frustumCulling);
}

TEST(Controls, FilterKeysReachEveryTexture) {
    Harness h;
    h.frame(200);
    h.tap(key::F4, 200);
    h.tap(key::F5, 200);
    h.tap(key::F4, 200);
    EXPECT_EQ(h.factory.magnification, std::vector<bool>({true, false}));
    EXPECT_EQ(h.factory.minification, std::vector<bool>({true}));
    h.tap(key::F9, 200);
    EXPECT_FALSE(h.controls->display.particleBlending);
}

// The push turns the ball's own velocity: W along it, S against it, A to its
// left and D to its right, whatever the camera does.
TEST(Controls, SteeringPushesTheRealBallInTheTurnedDirections) {
    struct Case {
        int key;
        glm::vec3 expected; // direction of the change in velocity
    };
    // The race ball moves along -x; its left is +z.
    const Case cases[] = {
        {key::W, {-1, 0, 0}}, {key::S, {1, 0, 0}}, {key::A, {0, 0, 1}}, {key::D, {0, 0, -1}}};
    for (const Case& c : cases) {
        Harness h;
        h.frame(200);
        h.tap(key::Enter);
        btRigidBody* body = h.world.ballBody;
        const btVector3 before = body->getLinearVelocity();
        h.input.press(c.key);
        h.controls->update();
        h.world.step(1.0f / 60.0f);
        const btVector3 after = body->getLinearVelocity();
        glm::vec3 change(after.x() - before.x(), 0.0f, after.z() - before.z());
        ASSERT_GT(glm::length(change), 1e-5f) << "key " << c.key;
        change = glm::normalize(change);
        EXPECT_GT(glm::dot(change, c.expected), 0.99f) << "key " << c.key;
    }
}

TEST(Controls, PushOnABallAtRestPushesNothing) {
    PhysicsWorld world;
    world.createGround();
    world.createBall();
    world.ballBody->setLinearVelocity(btVector3(0, 0, 0));
    pushBall(world, 0.0);
    EXPECT_EQ(world.ballBody->getTotalForce(), btVector3(0, 0, 0));
    world.ballBody->setLinearVelocity(btVector3(NAN, 0, 0));
    pushBall(world, 1.57);
    EXPECT_EQ(world.ballBody->getTotalForce(), btVector3(0, 0, 0));
}

TEST(Controls, FollowCameraSitsSixAboveAndSixAwayAlongTheYaw) {
    Harness h;
    h.tap(key::Enter);
    h.controls->camera.horizontalAngle = 0.7f;
    const glm::vec3 ball(h.world.getBallModelMatrix()[3]);
    h.controls->update();
    const glm::vec3 eye = h.controls->camera.eye;
    EXPECT_NEAR(eye.x, ball.x + 6 * std::sin(0.7f), 1e-4);
    EXPECT_NEAR(eye.y, ball.y + 6, 1e-4);
    EXPECT_NEAR(eye.z, ball.z + 6 * std::cos(0.7f), 1e-4);
    EXPECT_EQ(h.controls->camera.target, ball);
    // The view looks from the eye at the ball.
    const glm::vec4 seen = h.controls->camera.view * glm::vec4(ball, 1.0f);
    EXPECT_NEAR(seen.x, 0.0f, 1e-4);
    EXPECT_NEAR(seen.y, 0.0f, 1e-4);
    EXPECT_NEAR(seen.z, -std::sqrt(72.0f), 1e-3);
}

TEST(Controls, ProjectionIsFourThirdsInAnyWindow) {
    Harness h;
    h.frame();
    const glm::mat4& p = h.controls->camera.projection;
    const double t = std::tan(0.39269909);
    EXPECT_NEAR(p[0][0], 1.0 / (t * 1.3333334), 1e-5);
    EXPECT_NEAR(p[1][1], 1.0 / t, 1e-5);
    EXPECT_FLOAT_EQ(p[2][2], -1.002002f);
    EXPECT_FLOAT_EQ(p[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p[3][2], -0.2002002f);
    EXPECT_FLOAT_EQ(p[3][3], 0.0f);
    EXPECT_FLOAT_EQ(p[0][1], 0.0f);
}

// A minimised or hidden window pauses a running race like a lost focus, and
// the half minute away moves nothing: not the race clock, not a camera flown
// by a key held all along.
TEST(Controls, HidingTheWindowPausesTheRaceAndTheTimeAwayCountsForNothing) {
    Harness h;
    h.tap(key::Enter);
    h.frame();
    ASSERT_EQ(h.race->state, MyCollision::Racing);
    h.tap(key::E);
    h.input.press(key::Up);
    h.frame();
    h.controls->windowHidden();
    const double raceTime = h.race->elapsed();
    const glm::vec3 camera = h.controls->camera.position;
    h.ticks.now += 30000.0;
    h.input.seconds += 30.0;
    h.frame();
    EXPECT_TRUE(h.race->paused());
    EXPECT_EQ(h.race->elapsed(), raceTime);
    EXPECT_EQ(h.controls->camera.position, camera);
    h.frame();
    EXPECT_NE(h.controls->camera.position, camera) << "the held key flies on from there";
}

// The mouse turns the camera only with the focus, and the first frame with
// it (at the start and when it returns) re-centres the cursor without a turn.
TEST(Controls, MouseLookTurnsOnlyWithFocusAndNeverJumpsWhenItReturns) {
    Harness h;
    h.input.cursorX = 900; // wherever the cursor was when the window opened
    h.input.cursorY = 20;
    h.frame();
    EXPECT_EQ(h.controls->camera.horizontalAngle, 3.14f);
    EXPECT_EQ(h.controls->camera.verticalAngle, 0.0f);
    EXPECT_EQ(h.input.cursorX, 500); // the centre of 1000 x 780
    EXPECT_EQ(h.input.cursorY, 390);

    h.input.cursorX = 490; // 10 px left of the centre
    h.input.cursorY = 380; // 10 px up
    h.frame();
    EXPECT_NEAR(h.controls->camera.horizontalAngle, 3.14f + 0.01f, 1e-6);
    EXPECT_NEAR(h.controls->camera.verticalAngle, 0.01f / 1.5f, 1e-6);
    EXPECT_EQ(h.input.cursorX, 500);
    EXPECT_EQ(h.input.cursorY, 390);

    h.input.hasFocus = false;
    h.input.cursorX = 0;
    h.input.cursorY = 0;
    const float horizontal = h.controls->camera.horizontalAngle;
    const float vertical = h.controls->camera.verticalAngle;
    h.frame();
    EXPECT_EQ(h.controls->camera.horizontalAngle, horizontal);
    EXPECT_EQ(h.input.cursorX, 0) << "the cursor is left alone without focus";

    h.input.hasFocus = true; // back, with the cursor far from the centre
    h.frame();
    EXPECT_EQ(h.controls->camera.horizontalAngle, horizontal);
    EXPECT_EQ(h.controls->camera.verticalAngle, vertical);
    EXPECT_EQ(h.input.cursorX, 500);
    EXPECT_EQ(h.input.cursorY, 390);
    h.input.cursorX = 510;
    h.frame();
    EXPECT_NEAR(h.controls->camera.horizontalAngle, horizontal - 0.01f, 1e-6);
}

TEST(Controls, EditorTwiceRestartsTheRaceWithTheRaceBestTime) {
    Harness h;
    h.race->bestTime = 777;
    h.frame(200);
    h.tap(key::E, 200);
    EXPECT_TRUE(h.controls->editing.editMode);
    h.world.step(0.5f);
    h.tap(key::E, 200);
    EXPECT_FALSE(h.controls->editing.editMode);
    EXPECT_EQ(h.race->state, MyCollision::Racing);
    EXPECT_DOUBLE_EQ(h.race->bestTime, 777);
    EXPECT_NEAR(h.world.getBallModelMatrix()[3][1], 65.8f, 1e-3);
}

TEST(CourseLoading, BestTimeRulesAndMessages) {
    {
        ::testing::internal::CaptureStdout();
        Harness h("besttime 45000\n");
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_DOUBLE_EQ(h.controls->course.bestTime, 45000);
        EXPECT_NE(out.find("45000\n"), std::string::npos);
        EXPECT_TRUE(h.tracks.empty());
        EXPECT_TRUE(h.rings.empty());
    }
    for (const char* course : {"ring 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n", "besttime 0\n"}) {
        ::testing::internal::CaptureStdout();
        Harness h(course);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_DOUBLE_EQ(h.controls->course.bestTime, 10000000);
        EXPECT_NE(out.find("0\n"), std::string::npos);
    }
    {
        ::testing::internal::CaptureStdout();
        Harness h(""); // no file at all
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_DOUBLE_EQ(h.controls->course.bestTime, 0);
        EXPECT_NE(out.find("Impossible to open the file !\n" + h.trackPath), std::string::npos);
        EXPECT_TRUE(h.tracks.empty());
    }
}

TEST(CourseLoading, PiecesGetTheirBodiesInOrder) {
    Harness h("straight 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n"
              "left 1 0 0 0 0 1 0 0 0 0 1 0 5 0 0 1\n"
              "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 2 0 1\n"
              "RAMP 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1\n");
    ASSERT_EQ(h.tracks.size(), 2u);
    ASSERT_EQ(h.rings.size(), 1u);
    for (size_t i = 0; i < h.tracks.size(); ++i) {
        auto* piece = dynamic_cast<scene::TrackBase*>(h.tracks[i]);
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece->bodyIndex, static_cast<int>(i));
    }
    EXPECT_EQ(dynamic_cast<scene::TrackBase*>(h.tracks[1])->pieceName, "left");
    EXPECT_EQ(h.world.getBodyMatrix(1)[3][0], 5.0f);
}

// A long course names its start: races begin there, saves keep it, and the
// editor's first piece goes under it; the next course without one starts
// where courses always did.
TEST(CourseLoading, ACoursesOwnStartIsRacedSavedAndBuiltUnder) {
    Harness h("start 3 150 -2\nstraight 1 0 0 0 0 1 0 0 0 0 1 0 3 149.64 -2 1\nbesttime 45000\n");
    EXPECT_EQ(h.world.raceStart, glm::vec3(3, 150, -2));
    h.race->startRace();
    EXPECT_NEAR(glm::distance(glm::vec3(h.world.getBallModelMatrix()[3]), glm::vec3(3, 150, -2)), 0.0f,
                1e-4f);

    ASSERT_TRUE(h.controls->course.saveTrack(h.trackPath));
    EXPECT_EQ(readText(h.trackPath).rfind("Writing this to a file.\nstart 3 150 -2\nstraight", 0), 0u);

    h.controls->course.clearLevel();
    ASSERT_TRUE(h.controls->editing.editor.placeJoined("straight"));
    EXPECT_NEAR(h.tracks[0]->modelMatrix[3][1], 149.64f, 1e-4f);

    writeText(h.dir.file("2.track"), "besttime 1\n");
    h.controls->switchCourse(h.dir.file("2.track"), h.dir.file("2.track"));
    EXPECT_EQ(h.world.raceStart, kDefaultRaceStart);
}

// The won screen and a held Ctrl+S ask for a save every frame; the file is
// written only when what would be written differs from what was last
// written. Every write replaces the file, so its stamp (inode, change time)
// shows whether the game wrote again.
TEST(CourseSaving, OnlyAChangedCourseIsWritten) {
    Harness h("straight 1 0 0 0 0 1 0 0 0 0 1 0 0 50 0 1\nbesttime 45000\n");
    FileStamp last = stampOf(h.trackPath);
    auto rewritten = [&] {
        const FileStamp now = stampOf(h.trackPath);
        const bool changed = !(now == last);
        last = now;
        return changed;
    };
    h.frame(200);
    h.tap(key::Enter, 200);
    h.tap(key::B);
    h.frame(); // the first frame of the won screen saves the best time
    EXPECT_TRUE(rewritten());
    for (int i = 0; i < 10; ++i)
        h.frame();
    EXPECT_FALSE(rewritten()) << "the won screen wrote the same course again";

    h.frame(200);
    h.tap(key::C, 200); // C on the won screen: 255555, saved
    h.frame();
    EXPECT_NE(readText(h.trackPath).find("besttime 255555\n"), std::string::npos);
    EXPECT_TRUE(rewritten());
    h.tap(key::Enter, 200);
    h.tap(key::B); // won again with the same content
    h.frame();
    EXPECT_FALSE(rewritten());

    // The editor: Ctrl+S held writes while the selected piece moves (each
    // frame saves what it edited), then nothing more.
    h.tap(key::Enter, 200);
    h.tap(key::E, 200);
    h.input.press(key::LeftControl);
    h.input.press(key::S);
    h.input.press(key::T);
    h.input.press(key::Kp4);
    h.frame();
    for (int i = 0; i < 3; ++i) {
        h.frame();
        EXPECT_TRUE(rewritten()) << "frame " << i;
    }
    h.input.release(key::Kp4);
    for (int i = 0; i < 5; ++i)
        h.frame();
    EXPECT_FALSE(rewritten());

    // A failed write is not taken for written: the next frame tries again.
    std::filesystem::remove(h.trackPath);
    std::filesystem::create_directories(h.trackPath + "/inside");
    h.input.press(key::Kp4);
    ::testing::internal::CaptureStdout();
    h.frame();
    h.input.release(key::Kp4);
    h.frame();
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Could not save the course"), std::string::npos);
    std::filesystem::remove_all(h.trackPath);
    h.frame();
    EXPECT_TRUE(std::filesystem::is_regular_file(h.trackPath));
}

// The won race and the editor each tell their own first failure once, on
// standard output and on the screen.
TEST(CourseSaving, EachWayOfSavingReportsItsOwnFirstFailure) {
    Harness h("besttime 45000\n");
    // A folder where the course file should be: it can never be replaced.
    h.controls->course.trackPath = h.dir.file("blocked");
    std::filesystem::create_directories(h.dir.file("blocked") + "/inside");
    auto count = [](const std::string& out, const std::string& what) {
        size_t lines = 0;
        for (size_t p = out.find(what); p != std::string::npos; p = out.find(what, p + 1))
            ++lines;
        return lines;
    };
    const std::string failed = "Could not save the course to " + h.controls->course.trackPath + ": ";
    ::testing::internal::CaptureStdout();
    h.tap(key::B);
    for (int i = 0; i < 5; ++i)
        h.frame();
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(out, failed), 1u) << out;
    EXPECT_EQ(h.controls->notice.text, "Could not save the best time");

    h.frame(200);
    h.tap(key::E, 200);
    h.input.press(key::LeftControl);
    h.input.press(key::S);
    ::testing::internal::CaptureStdout();
    for (int i = 0; i < 5; ++i)
        h.frame();
    out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(out, failed), 1u) << "the editor's own first failure: " << out;
    EXPECT_EQ(h.controls->notice.text, "Could not save the course");
    EXPECT_TRUE(std::filesystem::is_directory(h.dir.file("blocked") + "/inside"));
}

TEST(CourseSaving, InstalledCourseIsSavedToThePlayersFolderOnly) {
    const std::string installed = "besttime 45000\n";
    {
        // The player's folder is made by the first save; the installed file stays.
        Harness h(installed, "home/zentaro/Tracks/1.track");
        EXPECT_EQ(h.controls->course.bestTime, 45000.0);
        h.tap(key::B);
        h.frame();
        EXPECT_EQ(readText(h.trackPath), installed);
        EXPECT_NE(readText(h.dir.file("home/zentaro/Tracks/1.track")).find("besttime 45000"),
                  std::string::npos);
    }
    {
        // No folder can be made there: one message, nothing written anywhere.
        Harness h(installed, "plain/zentaro/Tracks/1.track");
        writeText(h.dir.file("plain"), "");
        ::testing::internal::CaptureStdout();
        h.tap(key::B);
        for (int i = 0; i < 5; ++i)
            h.frame();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("Could not save the course to " + h.dir.file("plain/zentaro/Tracks/1.track") +
                           ": cannot create the folder"),
                  out.rfind("Could not save"))
            << out;
        EXPECT_NE(out.find("Could not save"), std::string::npos) << out;
        EXPECT_EQ(readText(h.trackPath), installed);
        EXPECT_EQ(readText(h.dir.file("plain")), "");
    }
}

// The controls read the player's keys: pause on Q, and P does nothing.
TEST(KeyBindings, TheControlsUseTheBoundKeys) {
    Harness h("besttime 45000\n", "", false);
    KeyBindings keys;
    std::string message;
    ASSERT_EQ(keys.bind(Action::Pause, key::Q, false, message), KeyBindings::Outcome::Bound);
    ControlsContext context = h.context();
    context.keys = &keys;
    h.controls = std::make_unique<Controls>(context);
    h.tap(key::Enter);
    h.frame(200.0);
    ASSERT_EQ(h.race->state, MyCollision::Racing);
    h.tap(key::P);
    h.frame();
    EXPECT_FALSE(h.race->paused());
    h.tap(key::Q);
    h.frame();
    EXPECT_TRUE(h.race->paused());
}

} // namespace

// The author time's life: a finish on a course the player did not design
// sets nothing; one on a layout they saved from the editor sets it, a faster
// one lowers it, a run with the editor open does not count, a won race keeps
// it in the file and an edit takes it away.
TEST(AuthorTime, SetByCleanFinishesOnTheDesignersLayoutOnly) {
    Harness h("straight 1 0 0 0 0 1 0 0 0 0 1 0 0 50 0 1\nring 1 0 0 0 0 1 0 0 0 0 1 0 0 50 0 1\n"
              "besttime 45000\n",
              "", false);
    std::ostringstream log;
    Progress progress(h.dir.file("progress.txt"), log);
    ControlsContext context = h.context();
    context.progress = &progress;
    h.controls = std::make_unique<Controls>(context);
    h.ball.modelMatrix = at(0, 50, 0); // on the ring
    auto finishIn = [&h](double ms, bool inEditor = false) {
        h.tap(key::Enter, 200);
        if (inEditor)
            h.tap(key::E, 200);
        h.race->update(); // the ring
        h.frame(ms);
        h.race->update(); // the finish
        h.frame(200);
        if (inEditor)
            h.tap(key::E, 200);
    };
    auto author = [&h] { return h.controls->course.currentAuthorTime(); };

    finishIn(30000);
    EXPECT_EQ(author(), std::nullopt) << "a course the player did not design";
    ASSERT_NE(progress.find("1.track"), nullptr);
    EXPECT_NEAR(progress.find("1.track")->best, 30400, 300);

    // Saved from the editor after a change: the player designed this layout.
    h.tap(key::E, 200);
    h.input.press(key::T);
    h.tap(key::Kp4);
    h.input.release(key::T);
    h.input.press(key::LeftControl);
    h.tap(key::S);
    h.input.release(key::LeftControl);
    h.tap(key::E, 200);
    finishIn(40000);
    ASSERT_TRUE(author());
    EXPECT_NEAR(*author(), 40400, 300);
    finishIn(42000);
    EXPECT_NEAR(*author(), 40400, 300) << "a slower finish";
    finishIn(20000, true);
    EXPECT_NEAR(*author(), 40400, 300) << "a run with the editor open";
    finishIn(35000);
    EXPECT_NEAR(*author(), 35400, 300);
    EXPECT_NE(readText(h.trackPath).find("author=35"), std::string::npos) << readText(h.trackPath);
    EXPECT_EQ(progress.find("1.track")->medal, Medal::Author);
    EXPECT_EQ(h.controls->course.medalScreen.author, author());

    // An edit: no author time, said in the editor, none in the next save.
    h.tap(key::E, 200);
    h.input.press(key::T);
    h.tap(key::Kp4);
    h.input.release(key::T);
    h.frame();
    std::vector<std::string> lines;
    h.controls->statusLines(lines);
    EXPECT_EQ(lines.back(), "not validated: finish a clean run to set the author time");
    EXPECT_EQ(author(), std::nullopt);
    h.input.press(key::LeftControl);
    h.tap(key::S);
    h.input.release(key::LeftControl);
    EXPECT_EQ(readText(h.trackPath).find("author="), std::string::npos) << readText(h.trackPath);
}
