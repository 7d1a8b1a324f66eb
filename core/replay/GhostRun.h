#pragma once
// The ghost of a race: the ball's pose sampled at a fixed rate along the race
// clock, played back at any race time, and the race times at which the run
// passed its rings. No GL and no files here (see GhostFile.h).
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tovi {

// Sample k of a recording is the ball at race time k / kGhostSamplesPerSecond.
constexpr double kGhostSamplesPerSecond = 60.0;
// Ten minutes of race. A longer run keeps its first ten minutes; its ghost
// is gone after them.
constexpr std::size_t kGhostMaxSamples = 36000;

struct GhostPose {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
};

// The ball's position and turn from its model matrix (no scale expected).
GhostPose ghostPoseOf(const glm::mat4& ballMatrix);
// The model matrix that draws a ball in this pose.
glm::mat4 ghostMatrixOf(const GhostPose& pose);

// One recorded run, as kept in a ghost file.
struct GhostRun {
    std::uint64_t fingerprint = 0;  // of the course it was raced on
    double raceTime = 0.0;          // milliseconds from start to win
    std::vector<double> splits;     // race time at 1, 2, ... rings passed
    std::vector<GhostPose> samples; // sample k at race time k / 60 s
};

// Records the ball of the running race. Frames come at any rate: the fixed
// samples between two frames are interpolated from the poses of those frames.
class GhostRecorder {
  public:
    // A new race: forgets the old run; the ball at race time 0.
    void start(const glm::mat4& ballMatrix);
    // The ball at this race time (milliseconds). Times before the last one,
    // non-finite times and poses are ignored; nothing is kept past
    // kGhostMaxSamples.
    void record(double raceTime, const glm::mat4& ballMatrix);

    const std::vector<GhostPose>& samples() const { return recorded; }

  private:
    std::vector<GhostPose> recorded;
    GhostPose lastPose;
    double lastTime = 0.0;
    bool started = false;
};

// The pose of a recording at a race time, interpolated between its samples
// (position linearly, orientation by slerp). False before race time 0 and
// after the last sample: the ghost has finished.
bool ghostPoseAt(const std::vector<GhostPose>& samples, double raceTime, GhostPose& pose);

// The split on show: the race time at which the last ring was passed and,
// where the best run passed as many rings, the difference to it.
struct SplitView {
    bool visible = false;
    std::size_t rings = 0;   // rings passed at this split
    double time = 0.0;       // race time of the split, milliseconds
    bool compared = false;   // the best run has a split at this ring count
    double difference = 0.0; // time minus the best run's; below zero is ahead
};

// The current run's splits and the one the HUD shows for a while after each.
class SplitTimes {
  public:
    // How long a split stays on the HUD, in race time.
    static constexpr double kShowMs = 2000.0;

    void start();
    // The ring count of this frame; every ring passed since the last call
    // gets this race time as its split.
    void update(std::size_t passedRings, double raceTime);

    const std::vector<double>& times() const { return splits; }
    // What the HUD shows at raceTime, compared with the best run's splits.
    SplitView shown(double raceTime, const std::vector<double>& best) const;

  private:
    std::vector<double> splits;
};

} // namespace tovi
