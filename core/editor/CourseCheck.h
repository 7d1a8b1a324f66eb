#pragma once
// The play-testing bot and the course check. The bot holds the keys a player
// would (at most one per 1/60 s frame) on the course's pieces, in a physics
// world of its own, with the game's steering push and the game's ring rule.
// The game's course check (F6) and the course_playthrough test both use it.
#include "core/course/CourseFile.h"
#include "core/race/Steering.h"

#include <glm/glm.hpp>

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tovi {

// What the bot races on: the pieces and the ring centres, in course order,
// from the course's race start.
struct BotCourse {
    std::vector<CourseEntry> pieces;
    std::vector<glm::vec3> rings;
    glm::vec3 start = kDefaultRaceStart;
};
BotCourse botCourse(const CourseData& data);

// Collision triangles of each piece kind.
using PieceMeshes = std::map<std::string, std::vector<glm::vec3>>;
// Reads objectsDir + kind + ".stl" for every kind on the course.
PieceMeshes loadPieceMeshes(const BotCourse& course, const std::string& objectsDir);

// The bot's key for this frame: it keeps to the cruising speed (metres per
// second) with W and S, and lines up with the next ring with A or D when it
// is close. It looks only at what a player sees: the ball's motion and the
// rings.
Steer chooseSteer(const glm::vec3& ball, const glm::vec3& velocity, const glm::vec3* nextRing, double cruise);

struct BotOptions {
    double cruise = 6.0; // negative: hands off the keys
    const std::atomic<bool>* cancel = nullptr;
    // Every simulated frame: race seconds and rings passed so far.
    std::function<void(double seconds, std::size_t passed)> progress;
    // Every half second of the race, for tuning courses.
    std::function<void(double seconds, const glm::vec3& ball, float speed, Steer key)> trace;
};

struct BotRun {
    bool finished = false;
    double seconds = 0.0; // race time at the end of the run
    std::size_t passed = 0;
    std::string reason; // why not finished: "fell off near (x, y, z)", "stuck near ...", "timed out"
    bool fell = false;  // then fallPoint is where the ball last touched the track
    glm::vec3 fallPoint{0.0f};
};

constexpr double kBotTimeLimitSeconds = 150.0; // a run is one to two minutes
constexpr double kBotStuckSeconds = 25.0;      // the longest wait for the next ring

// One race from the game's race start.
BotRun raceBot(const BotCourse& course, const PieceMeshes& meshes, const BotOptions& options);

struct PlayStyle {
    const char* name;
    double cruise;
};
// A good player, a careful one, one who holds W all the way and one who
// touches nothing. The good player sets the pace.
extern const PlayStyle kPlayStyles[4];

struct CheckVerdict {
    bool finished = false;
    double seconds = 0.0; // the best finished run
    std::size_t passed = 0;
    std::size_t total = 0;
    std::string reason;
    bool fell = false;
    glm::vec3 fallPoint{0.0f};
    bool cancelled = false;
};

struct CheckHooks {
    const std::atomic<bool>* cancel = nullptr; // stops the check when set
    // Every simulated frame: the style (index into kPlayStyles), race
    // seconds and rings passed.
    std::function<void(int style, double seconds, std::size_t passed)> progress;
    // After each style's run.
    std::function<void(int style, const BotRun& run)> runDone;
    std::function<void(double seconds, const glm::vec3& ball, float speed, Steer key)> trace;
};

// Races every play style: the best finished run, or else the run that
// passed the most rings. A course without pieces has "no track", one
// without rings "no rings".
CheckVerdict checkCourse(const BotCourse& course, const PieceMeshes& meshes, const CheckHooks& hooks = {});

// "Course check: finished in 21.35 s, 8/8 rings" or
// "Course check: not finished: <reason>, 3/8 rings".
std::string verdictLine(const CheckVerdict& verdict);

} // namespace tovi
