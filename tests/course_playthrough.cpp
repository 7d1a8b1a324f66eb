// Plays the shipped courses with the game's own physics and steering push: a
// small bot holds the keys a player would (at most one per 1/60 s frame) and
// must pass every ring in time. Also checks that each course is laid out the
// way the game needs it.
// Usage: course_playthrough <Kobuldo folder> [course file...] [--trace]
// Without course files it plays every course in Tracks/courses.txt.
#include "core/Controls.h"
#include "core/CourseFile.h"
#include "core/CourseList.h"
#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"

#include <glm/glm.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr double kTimeLimitSeconds = 150.0; // a run is "about one to two minutes"
constexpr double kStuckSeconds = 25.0;      // longest wait for the next ring
const glm::vec3 kRaceStart(-0.88f, 65.8f, 21.2f);

// The keys of the game and the turn angles their push uses.
enum class Key { None, W, S, A, D };
double angleOf(Key key) {
    switch (key) {
    case Key::W:
        return 0.0;
    case Key::S:
        return static_cast<double>(3.1415f);
    case Key::A:
        return static_cast<double>(1.57f);
    case Key::D:
        return static_cast<double>(-1.57f);
    case Key::None:
        break;
    }
    return 0.0;
}

struct Course {
    std::vector<tovi::CourseEntry> pieces;
    std::vector<glm::vec3> rings; // ring centres, in course order
    double bestTime = 0.0;
};

glm::vec3 positionOf(const glm::mat4& m) {
    return glm::vec3(m[3]);
}

bool loadCourse(const std::string& path, Course& course) {
    tovi::CourseData data;
    std::ostringstream log;
    if (!tovi::readCourseFile(path, data, log)) {
        std::cout << "cannot read the course: " << log.str() << "\n";
        return false;
    }
    if (!log.str().empty())
        std::cout << "course reader: " << log.str() << "\n";
    for (const auto& entry : data.entries) {
        if (entry.kind == "ring")
            course.rings.push_back(positionOf(entry.matrix));
        else
            course.pieces.push_back(entry);
    }
    course.bestTime = data.bestTime;
    return true;
}

// The layout rules a playable course keeps; returns the number of problems.
int checkLayout(const Course& course) {
    int problems = 0;
    auto fail = [&](const std::string& what) {
        std::cout << "layout: " << what << "\n";
        ++problems;
    };
    if (course.pieces.empty())
        fail("no track pieces");
    if (course.rings.empty())
        fail("no rings: a race could never end");
    if (course.bestTime <= 0.0)
        fail("no best time");
    std::map<std::string, int> kinds;
    for (const auto& piece : course.pieces) {
        ++kinds[piece.kind];
        glm::vec3 p = positionOf(piece.matrix);
        // the shadow map covers x and z in -50..50 and 120 units below the light
        if (std::fabs(p.x) > 50.0f || std::fabs(p.z) > 50.0f || p.y < 0.0f || p.y > 120.0f)
            fail("a " + piece.kind + " lies outside the shadow map's box");
    }
    for (const char* kind : {"ramp", "straight", "left", "right"})
        if (kinds[kind] == 0)
            fail(std::string("the course has no ") + kind);
    return problems;
}

// The steering bot: keeps to a cruising speed (metres per second) with W and
// S, and lines up with the next ring with A or D when it is close. It looks
// only at what a player sees: the ball's motion and the rings.
Key chooseKey(const glm::vec3& ball, const glm::vec3& velocity, const glm::vec3* nextRing, double cruise) {
    glm::vec2 v(velocity.x, velocity.z);
    if (glm::length(v) < 1e-3f)
        return Key::W;
    glm::vec2 heading = glm::normalize(v);
    if (nextRing != nullptr) {
        glm::vec2 toRing(nextRing->x - ball.x, nextRing->z - ball.z);
        float ahead = glm::dot(toRing, heading);
        glm::vec2 left(heading.y, -heading.x); // what A pushes towards
        float side = glm::dot(toRing, left);
        if (ahead > 0.0f && ahead < 3.0f && std::fabs(side) > 0.3f)
            return side > 0.0f ? Key::A : Key::D;
    }
    const double speed = glm::length(velocity);
    if (speed < cruise)
        return Key::W;
    if (speed > cruise + 1.0)
        return Key::S;
    return Key::None;
}

struct RunResult {
    bool finished = false;
    double seconds = 0.0;
    std::size_t passed = 0;
    std::string why;
};

// One race; a negative cruise speed keeps the hands off the keys.
RunResult race(const std::string& root, const Course& course, double cruise, bool trace) {
    tovi::PhysicsWorld world;
    world.createGround();
    world.createBall();
    std::map<std::string, std::vector<glm::vec3>> meshes;
    float lowest = 1e9f;
    for (const auto& piece : course.pieces) {
        auto it = meshes.find(piece.kind);
        if (it == meshes.end()) {
            std::vector<glm::vec3> collision;
            tovi::scene::SceneObject::loadStlVertices(root + "/Objects/V2/" + piece.kind + ".stl", collision);
            it = meshes.emplace(piece.kind, collision).first;
        }
        world.addTrackBody(it->second, piece.matrix);
        lowest = std::min(lowest, positionOf(piece.matrix).y);
    }
    // The game shows its start picture for a while before Enter: the pieces'
    // bodies have settled into place by the time the race ball appears.
    for (int i = 0; i < 30; ++i)
        world.step(kFrame);
    world.resetBall();

    RunResult result;
    std::vector<bool> passed(course.rings.size(), false);
    double lastRingTime = 0.0;
    const int frames = static_cast<int>(kTimeLimitSeconds * 60.0);
    for (int frame = 1; frame <= frames; ++frame) {
        glm::vec3 ball = positionOf(world.getBallModelMatrix());
        const btVector3& v = world.ballBody->getLinearVelocity();
        const glm::vec3* next = nullptr;
        for (std::size_t i = 0; i < course.rings.size(); ++i)
            if (!passed[i]) {
                next = &course.rings[i];
                break;
            }
        Key key = cruise >= 0.0 ? chooseKey(ball, glm::vec3(v.x(), v.y(), v.z()), next, cruise) : Key::None;
        if (key != Key::None)
            tovi::pushBall(world, angleOf(key));
        world.step(kFrame);

        const double now = frame / 60.0;
        ball = positionOf(world.getBallModelMatrix());
        if (trace && frame % 30 == 0) {
            const btVector3& w = world.ballBody->getLinearVelocity();
            std::printf("  %6.2f s  ball (%7.2f %7.2f %7.2f)  speed %5.2f  key %d\n", now, ball.x, ball.y,
                        ball.z, w.length(), static_cast<int>(key));
        }
        for (std::size_t i = 0; i < course.rings.size(); ++i)
            if (!passed[i] && glm::length(ball - course.rings[i]) <= 1.0f) {
                passed[i] = true;
                ++result.passed;
                lastRingTime = now;
            }
        if (result.passed == course.rings.size()) {
            result.finished = true;
            result.seconds = now;
            return result;
        }
        if (ball.y < lowest - 6.0f) {
            std::ostringstream why;
            why << "the ball fell off the track near (" << ball.x << ", " << ball.y << ", " << ball.z
                << ") after " << now << " s";
            result.why = why.str();
            result.seconds = now;
            return result;
        }
        if (now - lastRingTime > kStuckSeconds) {
            std::ostringstream why;
            why << "no ring for " << kStuckSeconds << " s; the ball is at (" << ball.x << ", " << ball.y
                << ", " << ball.z << ")";
            result.why = why.str();
            result.seconds = now;
            return result;
        }
    }
    result.why = "the race took longer than the time limit";
    result.seconds = kTimeLimitSeconds;
    return result;
}

// Checks and races one course; returns the number of problems.
int playCourse(const std::string& root, const std::string& path, bool trace) {
    Course course;
    if (!loadCourse(path, course))
        return 1;
    int failures = checkLayout(course);

    // the race start lies on the course: a piece within reach below it
    bool startOnTrack = false;
    for (const auto& piece : course.pieces) {
        glm::vec3 p = positionOf(piece.matrix);
        if (std::fabs(p.x - kRaceStart.x) < 2.0f && std::fabs(p.z - kRaceStart.z) < 2.0f &&
            kRaceStart.y - p.y > 0.0f && kRaceStart.y - p.y < 1.0f)
            startOnTrack = true;
    }
    if (!startOnTrack) {
        std::cout << "layout: no piece under the race start\n";
        ++failures;
    }

    // The course must not strand the ball whatever the player does: a careful
    // player, one who holds W all the way and one who touches nothing all
    // finish. The bot cruising briskly sets the pace a good player can reach.
    struct Style {
        const char* name;
        double cruise;
    };
    const Style styles[] = {
        {"good player", 6.0}, {"careful player", 3.0}, {"W held", 1e9}, {"hands off", -1.0}};
    RunResult pace;
    for (const Style& style : styles) {
        RunResult run = race(root, course, style.cruise, trace);
        std::printf("%-15s %s after %6.2f s, %zu of %zu rings%s%s\n", style.name,
                    run.finished ? "finished" : "FAILED", run.seconds, run.passed, course.rings.size(),
                    run.why.empty() ? "" : ": ", run.why.c_str());
        if (!run.finished)
            ++failures;
        if (&style == &styles[0])
            pace = run;
    }
    std::printf("best time shipped with the course: %.2f s\n", course.bestTime / 1000.0);

    if (pace.finished) {
        // The shipped best time is within reach of a good player, but not
        // without effort: the good player beats it by little.
        const double best = course.bestTime / 1000.0;
        if (pace.seconds >= best) {
            std::cout << "the good player cannot beat the shipped best time\n";
            ++failures;
        } else if (best > pace.seconds * 1.15) {
            std::cout << "the shipped best time is too easy to beat\n";
            ++failures;
        }
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cout << "usage: course_playthrough <Kobuldo folder> [course file...] [--trace]\n";
        return 2;
    }
    const std::string root = argv[1];
    // --trace prints the runs every half second (for tuning a course)
    bool trace = false;
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--trace")
            trace = true;
        else
            paths.push_back(argv[i]);
    }
    if (paths.empty()) {
        const tovi::CourseList list(root + "/Tracks/", std::cout);
        for (const tovi::CourseListEntry& entry : list.courses())
            paths.push_back(entry.path);
    }
    int passed = 0;
    int failed = 0;
    for (const std::string& path : paths) {
        std::printf("== %s\n", path.c_str());
        if (playCourse(root, path, trace) == 0)
            ++passed;
        else
            ++failed;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
