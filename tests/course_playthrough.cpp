// Plays the shipped courses with the game's own physics and steering push:
// the play-testing bot the game's course check (F6) uses holds the keys a
// player would and must pass every ring in time, in every play style. Also
// checks that each course is laid out the way the game needs it.
// Usage: course_playthrough <Kobuldo folder> [course file...] [--trace]
// Without course files it plays every course in Tracks/courses.txt.
#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/course/Medals.h"
#include "core/editor/CourseCheck.h"

#include <glm/glm.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Course {
    tovi::BotCourse bot; // pieces, ring centres in course order, race start
    double bestTime = 0.0;
    std::optional<double> authorTime;
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
    course.bot = tovi::botCourse(data);
    course.bestTime = data.bestTime;
    course.authorTime = data.authorTime;
    return true;
}

// The layout rules a playable course keeps; returns the number of problems.
int checkLayout(const Course& course) {
    int problems = 0;
    auto fail = [&](const std::string& what) {
        std::cout << "layout: " << what << "\n";
        ++problems;
    };
    if (course.bot.pieces.empty())
        fail("no track pieces");
    if (course.bot.rings.empty())
        fail("no rings: a race could never end");
    if (course.bestTime <= 0.0)
        fail("no best time");
    std::map<std::string, int> kinds;
    for (const auto& piece : course.bot.pieces) {
        ++kinds[piece.kind];
        // the ground plane (y = -5) lies below every piece
        if (positionOf(piece.matrix).y < 0.0f)
            fail("a " + piece.kind + " lies too close to the ground");
    }
    for (const char* kind : {"ramp", "straight", "left", "right"})
        if (kinds[kind] == 0)
            fail(std::string("the course has no ") + kind);
    return problems;
}

// Checks and races one course; returns the number of problems.
int playCourse(const std::string& root, const std::string& path, bool trace) {
    Course course;
    if (!loadCourse(path, course))
        return 1;
    int failures = checkLayout(course);

    // the race start lies on the course: a piece within reach below it
    bool startOnTrack = false;
    const glm::vec3 start = course.bot.start;
    for (const auto& piece : course.bot.pieces) {
        glm::vec3 p = positionOf(piece.matrix);
        if (std::fabs(p.x - start.x) < 2.0f && std::fabs(p.z - start.z) < 2.0f && start.y - p.y > 0.0f &&
            start.y - p.y < 1.0f)
            startOnTrack = true;
    }
    if (!startOnTrack) {
        std::cout << "layout: no piece under the race start\n";
        ++failures;
    }

    // The course must not strand the ball whatever the player does: a careful
    // player, one who holds W all the way and one who touches nothing all
    // finish. The bot cruising briskly sets the pace a good player can reach.
    const tovi::BotCourse& bot = course.bot;
    const tovi::PieceMeshes meshes = tovi::loadPieceMeshes(bot, root + "/Objects/V2/");
    tovi::BotRun pace;
    tovi::CheckHooks hooks;
    if (trace)
        hooks.trace = [](double now, const glm::vec3& ball, float speed, tovi::Steer key) {
            std::printf("  %6.2f s  ball (%7.2f %7.2f %7.2f)  speed %5.2f  key %d\n", now, ball.x, ball.y,
                        ball.z, static_cast<double>(speed), static_cast<int>(key));
        };
    hooks.runDone = [&](int style, const tovi::BotRun& run) {
        std::printf("%-15s %s after %7.3f s, %zu of %zu rings%s%s\n", tovi::kPlayStyles[style].name,
                    run.finished ? "finished" : "FAILED", run.seconds, run.passed, bot.rings.size(),
                    run.reason.empty() ? "" : ": ", run.reason.c_str());
        if (!run.finished)
            ++failures;
        if (style == 0)
            pace = run;
    };
    std::cout << tovi::verdictLine(tovi::checkCourse(bot, meshes, hooks)) << "\n";
    std::printf("best time shipped with the course: %.2f s\n", course.bestTime / 1000.0);
    // The medals come from the author time: a shipped course carries one.
    std::cout << tovi::medalTimesLine(course.authorTime) << "\n";
    if (!course.authorTime) {
        std::cout << "the course has no author time (give it the good player's time)\n";
        ++failures;
    }

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
