#include "core/replay/RaceGhost.h"

#include "core/replay/GhostFile.h"
#include "core/system/DataPaths.h"

namespace tovi {

void RaceGhost::load(const std::string& path, std::uint64_t fingerprint, std::ostream& log) {
    course = fingerprint;
    best = path.empty() ? std::nullopt : loadGhost(path, fingerprint, log);
    unsaved = false;
    if (best)
        log << "Racing against the ghost of a " << best->raceTime / 1000.0 << " s run from " << path << "\n";
}

void RaceGhost::startRace(const glm::mat4& ball) {
    recorder.start(ball);
    splits.start();
}

void RaceGhost::record(double raceTime, const glm::mat4& ball, std::size_t passedRings) {
    recorder.record(raceTime, ball);
    splits.update(passedRings, raceTime);
}

void RaceGhost::won(double raceTime) {
    GhostRun run;
    run.fingerprint = course;
    run.raceTime = raceTime;
    run.splits = splits.times();
    run.samples = recorder.samples();
    best = std::move(run);
    unsaved = true;
}

bool RaceGhost::saveNewBest(const std::string& path, std::ostream& log) {
    if (!unsaved || !best)
        return false;
    unsaved = false;
    // The player's folder may not be there yet.
    std::string error = "there is no folder for the player's files (HOME is not set)";
    if (!path.empty() && makeFolderFor(path, &error) && saveGhost(path, *best, &error))
        return true;
    log << "Could not save the ghost to " << path << ": " << error << "\n";
    return false;
}

const GhostRun* RaceGhost::bestRun() const {
    return best && best->fingerprint == course ? &*best : nullptr;
}

bool RaceGhost::ghostMatrix(double raceTime, glm::mat4& matrix) const {
    const GhostRun* run = bestRun();
    GhostPose pose;
    if (!shown || run == nullptr || !ghostPoseAt(run->samples, raceTime, pose))
        return false;
    matrix = ghostMatrixOf(pose);
    return true;
}

SplitView RaceGhost::split(double raceTime) const {
    static const std::vector<double> none;
    const GhostRun* run = bestRun();
    return splits.shown(raceTime, run != nullptr ? run->splits : none);
}

} // namespace tovi
