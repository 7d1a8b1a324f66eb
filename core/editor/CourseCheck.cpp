#include "core/editor/CourseCheck.h"

#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tovi {

namespace {

constexpr float kFrame = 1.0f / 60.0f;
// The ground plane catches a fallen ball with its centre at -4.75.
constexpr float kGroundLevel = -4.5f;
// This far below where it last touched the track, or below the lowest
// piece, the ball has fallen off (perhaps onto a lower part of the course).
constexpr float kFallDepth = 6.0f;

std::string near(const char* what, const glm::vec3& p) {
    char text[160];
    std::snprintf(text, sizeof text, "%s near (%.1f, %.1f, %.1f)", what, static_cast<double>(p.x),
                  static_cast<double>(p.y), static_cast<double>(p.z));
    return text;
}

// Whether the ball touches a track piece (not the ground) this step.
bool ballTouchesTrack(const PhysicsWorld& world) {
    btDispatcher* dispatcher = world.dynamicsWorld->getDispatcher();
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        const btCollisionObject* a = manifold->getBody0();
        const btCollisionObject* b = manifold->getBody1();
        if (a != world.ballBody && b != world.ballBody)
            continue;
        if (a == world.groundBody || b == world.groundBody)
            continue;
        for (int c = 0; c < manifold->getNumContacts(); ++c)
            if (manifold->getContactPoint(c).getDistance() < 0.05f)
                return true;
    }
    return false;
}

} // namespace

const PlayStyle kPlayStyles[4] = {
    {"good player", 6.0}, {"careful player", 3.0}, {"W held", 1e9}, {"hands off", -1.0}};

BotCourse botCourse(const CourseData& data) {
    BotCourse course;
    course.start = data.start.position;
    for (const CourseEntry& entry : data.entries) {
        if (entry.kind == "ring")
            course.rings.push_back(glm::vec3(entry.matrix[3]));
        else
            course.pieces.push_back(entry);
    }
    return course;
}

PieceMeshes loadPieceMeshes(const BotCourse& course, const std::string& objectsDir) {
    PieceMeshes meshes;
    for (const CourseEntry& piece : course.pieces) {
        if (meshes.count(piece.kind) != 0)
            continue;
        std::vector<glm::vec3>& triangles = meshes[piece.kind];
        scene::SceneObject::loadStlVertices(objectsDir + piece.kind + ".stl", triangles);
    }
    return meshes;
}

Steer chooseSteer(const glm::vec3& ball, const glm::vec3& velocity, const glm::vec3* nextRing,
                  double cruise) {
    const glm::vec2 v(velocity.x, velocity.z);
    if (glm::length(v) < 1e-3f)
        return Steer::W;
    const glm::vec2 heading = glm::normalize(v);
    if (nextRing != nullptr) {
        const glm::vec2 toRing(nextRing->x - ball.x, nextRing->z - ball.z);
        const float ahead = glm::dot(toRing, heading);
        const glm::vec2 left(heading.y, -heading.x); // what A pushes towards
        const float side = glm::dot(toRing, left);
        if (ahead > 0.0f && ahead < 3.0f && std::fabs(side) > 0.3f)
            return side > 0.0f ? Steer::A : Steer::D;
    }
    const double speed = glm::length(velocity);
    if (speed < cruise)
        return Steer::W;
    if (speed > cruise + 1.0)
        return Steer::S;
    return Steer::None;
}

BotRun raceBot(const BotCourse& course, const PieceMeshes& meshes, const BotOptions& options) {
    PhysicsWorld world;
    world.createGround();
    world.createBall();
    static const std::vector<glm::vec3> kNoTriangles;
    float lowest = 1e9f;
    for (const CourseEntry& piece : course.pieces) {
        const auto it = meshes.find(piece.kind);
        world.addTrackBody(it != meshes.end() ? it->second : kNoTriangles, piece.matrix);
        lowest = std::min(lowest, piece.matrix[3][1]);
    }
    // The game shows its start picture for a while before Enter: the pieces'
    // bodies have settled into place by the time the race ball appears.
    for (int i = 0; i < 30; ++i)
        world.step(kFrame);
    world.raceStart = course.start;
    world.resetBall();

    BotRun run;
    glm::vec3 lastOnTrack(world.getBallModelMatrix()[3]);
    std::vector<bool> passed(course.rings.size(), false);
    double lastRingTime = 0.0;
    const int frames = static_cast<int>(kBotTimeLimitSeconds * 60.0);
    for (int frame = 1; frame <= frames; ++frame) {
        if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
            run.reason = "cancelled";
            return run;
        }
        glm::vec3 ball(world.getBallModelMatrix()[3]);
        const btVector3& v = world.ballBody->getLinearVelocity();
        const glm::vec3* next = nullptr;
        for (std::size_t i = 0; i < course.rings.size() && next == nullptr; ++i)
            if (!passed[i])
                next = &course.rings[i];
        const Steer key = options.cruise >= 0.0
                              ? chooseSteer(ball, glm::vec3(v.x(), v.y(), v.z()), next, options.cruise)
                              : Steer::None;
        if (key != Steer::None)
            pushBall(world, steerAngle(key));
        world.step(kFrame);

        const double now = frame / 60.0;
        run.seconds = now;
        ball = glm::vec3(world.getBallModelMatrix()[3]);
        if (ballTouchesTrack(world))
            lastOnTrack = ball;
        if (options.trace && frame % 30 == 0)
            options.trace(now, ball, world.ballBody->getLinearVelocity().length(), key);
        for (std::size_t i = 0; i < course.rings.size(); ++i)
            if (!passed[i] && MyCollision::reachesRing(ball, course.rings[i])) {
                passed[i] = true;
                ++run.passed;
                lastRingTime = now;
            }
        if (options.progress)
            options.progress(now, run.passed);
        if (!course.rings.empty() && run.passed == course.rings.size()) {
            run.finished = true;
            return run;
        }
        if (ball.y < lastOnTrack.y - kFallDepth || ball.y < lowest - kFallDepth || ball.y < kGroundLevel) {
            run.fell = true;
            run.fallPoint = lastOnTrack;
            run.reason = near("fell off", lastOnTrack);
            return run;
        }
        if (now - lastRingTime > kBotStuckSeconds) {
            run.reason = near("stuck", ball);
            return run;
        }
    }
    run.reason = "timed out";
    return run;
}

CheckVerdict checkCourse(const BotCourse& course, const PieceMeshes& meshes, const CheckHooks& hooks) {
    CheckVerdict verdict;
    verdict.total = course.rings.size();
    if (course.pieces.empty()) {
        verdict.reason = "no track";
        return verdict;
    }
    if (course.rings.empty()) {
        verdict.reason = "no rings";
        return verdict;
    }
    bool haveRun = false;
    for (int style = 0; style < 4; ++style) {
        BotOptions options;
        options.cruise = kPlayStyles[style].cruise;
        options.cancel = hooks.cancel;
        options.trace = hooks.trace;
        if (hooks.progress)
            options.progress = [&](double seconds, std::size_t passed) {
                hooks.progress(style, seconds, passed);
            };
        const BotRun run = raceBot(course, meshes, options);
        if (hooks.cancel != nullptr && hooks.cancel->load()) {
            verdict.cancelled = true;
            return verdict;
        }
        if (hooks.runDone)
            hooks.runDone(style, run);
        const bool better = !haveRun ||
                            (run.finished && (!verdict.finished || run.seconds < verdict.seconds)) ||
                            (!verdict.finished && !run.finished && run.passed > verdict.passed);
        if (!better)
            continue;
        haveRun = true;
        verdict.finished = run.finished;
        verdict.seconds = run.seconds;
        verdict.passed = run.passed;
        verdict.reason = run.reason;
        verdict.fell = run.fell;
        verdict.fallPoint = run.fallPoint;
    }
    return verdict;
}

std::string verdictLine(const CheckVerdict& verdict) {
    char text[320];
    if (verdict.finished)
        std::snprintf(text, sizeof text, "Course check: finished in %.2f s, %zu/%zu rings", verdict.seconds,
                      verdict.passed, verdict.total);
    else
        std::snprintf(text, sizeof text, "Course check: not finished: %s, %zu/%zu rings",
                      verdict.reason.c_str(), verdict.passed, verdict.total);
    return text;
}

} // namespace tovi
