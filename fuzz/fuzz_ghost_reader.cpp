// Ghost reader on arbitrary bytes: no crash, a refused file leaves the
// caller's run alone, an accepted one holds only what the game could have
// written and reads back the same after a save.
#include "FuzzInput.h"
#include "core/replay/GhostFile.h"

#include <cmath>
#include <string>

namespace {

using zentaro_fuzz::check;

bool finite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool unitTurn(const glm::quat& q) {
    return std::isfinite(q.w) && std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) &&
           std::fabs(glm::length(q) - 1.0f) < 1e-5f;
}

bool sameRun(const tovi::GhostRun& a, const tovi::GhostRun& b) {
    if (a.fingerprint != b.fingerprint || a.raceTime != b.raceTime || a.splits != b.splits ||
        a.samples.size() != b.samples.size())
        return false;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        if (a.samples[i].position != b.samples[i].position ||
            glm::length(a.samples[i].orientation - b.samples[i].orientation) > 1e-6f)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    tovi::GhostRun run;
    run.fingerprint = 42;
    run.raceTime = -1.0;
    std::string why;
    if (!tovi::parseGhost(bytes, run, why)) {
        check(!why.empty(), "refused without a reason");
        check(run.fingerprint == 42 && run.raceTime == -1.0 && run.samples.empty(),
              "refused file changed the run");
        return 0;
    }
    check(size <= tovi::maxGhostFileSize(), "accepted a file larger than a ghost may be");
    check(std::isfinite(run.raceTime) && run.raceTime > 0.0, "accepted a race time that is not positive");
    check(run.splits.size() <= tovi::kMaxCourseEntries, "accepted too many splits");
    check(!run.samples.empty() && run.samples.size() <= tovi::kGhostMaxSamples,
          "accepted a bad sample count");
    double previous = 0.0;
    for (double split : run.splits) {
        check(std::isfinite(split) && split >= previous && split <= run.raceTime, "accepted a bad split");
        previous = split;
    }
    for (const tovi::GhostPose& pose : run.samples)
        check(finite(pose.position) && unitTurn(pose.orientation), "accepted a bad sample");

    tovi::GhostRun again;
    check(tovi::parseGhost(tovi::formatGhost(run), again, why), "a saved ghost is refused");
    check(sameRun(run, again), "a ghost changed by a save");

    // Replay anywhere in the run and a little past it.
    tovi::GhostPose pose;
    for (double t = 0.0; t < run.raceTime + 100.0 && t < 1e6; t += run.raceTime / 7.0 + 1.0) {
        if (tovi::ghostPoseAt(run.samples, t, pose))
            check(finite(pose.position) && unitTurn(pose.orientation), "replay made a bad pose");
    }
    return 0;
}
