#include "core/replay/GhostRun.h"

#include "core/course/CourseFile.h"

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {

bool finitePose(const GhostPose& pose) {
    const glm::vec3& p = pose.position;
    const glm::quat& q = pose.orientation;
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(q.w) &&
           std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z);
}

GhostPose blend(const GhostPose& from, const GhostPose& to, float amount) {
    GhostPose pose;
    pose.position = glm::mix(from.position, to.position, amount);
    pose.orientation = glm::slerp(from.orientation, to.orientation, amount);
    return pose;
}

} // namespace

GhostPose ghostPoseOf(const glm::mat4& ballMatrix) {
    GhostPose pose;
    pose.position = glm::vec3(ballMatrix[3]);
    pose.orientation = glm::normalize(glm::quat_cast(glm::mat3(ballMatrix)));
    return pose;
}

glm::mat4 ghostMatrixOf(const GhostPose& pose) {
    glm::mat4 m = glm::mat4_cast(glm::normalize(pose.orientation));
    m[3] = glm::vec4(pose.position, 1.0f);
    return m;
}

void GhostRecorder::start(const glm::mat4& ballMatrix) {
    // Room for the longest recording once, so a race frame never allocates.
    recorded.reserve(kGhostMaxSamples);
    recorded.clear();
    started = false;
    record(0.0, ballMatrix);
}

void GhostRecorder::record(double raceTime, const glm::mat4& ballMatrix) {
    const GhostPose pose = ghostPoseOf(ballMatrix);
    if (!std::isfinite(raceTime) || raceTime < 0.0 || !finitePose(pose))
        return;
    if (!started) {
        // The first pose known stands for everything before it.
        started = true;
        lastTime = 0.0;
        lastPose = pose;
    }
    if (raceTime < lastTime)
        return;
    const double span = raceTime - lastTime;
    while (recorded.size() < kGhostMaxSamples) {
        const double sampleTime = static_cast<double>(recorded.size()) * 1000.0 / kGhostSamplesPerSecond;
        if (sampleTime > raceTime)
            break;
        const double amount = span > 0.0 ? (sampleTime - lastTime) / span : 1.0;
        recorded.push_back(blend(lastPose, pose, static_cast<float>(std::clamp(amount, 0.0, 1.0))));
    }
    lastTime = raceTime;
    lastPose = pose;
}

bool ghostPoseAt(const std::vector<GhostPose>& samples, double raceTime, GhostPose& pose) {
    if (samples.empty() || !(raceTime >= 0.0))
        return false;
    const double index = raceTime * kGhostSamplesPerSecond / 1000.0;
    const double last = static_cast<double>(samples.size() - 1);
    if (index > last)
        return false;
    const auto below = static_cast<std::size_t>(index);
    const std::size_t above = std::min(below + 1, samples.size() - 1);
    pose = blend(samples[below], samples[above], static_cast<float>(index - static_cast<double>(below)));
    return true;
}

void SplitTimes::start() {
    splits.clear();
}

void SplitTimes::update(std::size_t passedRings, double raceTime) {
    const std::size_t count = std::min(passedRings, kMaxCourseEntries);
    while (splits.size() < count)
        splits.push_back(raceTime);
}

SplitView SplitTimes::shown(double raceTime, const std::vector<double>& best) const {
    SplitView view;
    if (splits.empty())
        return view;
    view.rings = splits.size();
    view.time = splits.back();
    view.visible = raceTime >= view.time && raceTime < view.time + kShowMs;
    if (best.size() >= view.rings) {
        view.compared = true;
        view.difference = view.time - best[view.rings - 1];
    }
    return view;
}

} // namespace tovi
