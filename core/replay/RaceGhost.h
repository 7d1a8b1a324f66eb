#pragma once
// The ghost side of the race: records every run, keeps the best run of the
// course (from its ghost file or the last win), says where its ghost ball is
// and which split the HUD shows, and writes a new best run beside the course.
#include "core/replay/GhostRun.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace tovi {

class RaceGhost {
  public:
    // Reads the course's ghost file and keeps its run when it was raced on
    // this course (one line on log either way), in place of any run of the
    // course before. fingerprint: the course now; an empty path: no file.
    void load(const std::string& path, std::uint64_t fingerprint, std::ostream& log);
    // The course after an edit: a best run raced on another course is
    // neither shown nor compared against (until a win on this one).
    void setCourse(std::uint64_t fingerprint) { course = fingerprint; }

    // A new race, the ball at its start.
    void startRace(const glm::mat4& ball);
    // Every race frame: the ball and the rings passed at this race time.
    void record(double raceTime, const glm::mat4& ball, std::size_t passedRings);
    // The race was won with a new best time: this run becomes the best run,
    // to be written by saveNewBest.
    void won(double raceTime);
    // Writes the best run to path (its folder made if need be) when won()
    // made a new one; once per win, with a line on log when it cannot be
    // written (an empty path: there is nowhere to write). True when written.
    bool saveNewBest(const std::string& path, std::ostream& log);

    // V: the ghost ball on or off (the splits stay).
    void toggleShown() { shown = !shown; }
    bool isShown() const { return shown; }

    // Where the ghost ball is drawn at this race time; false when it is not
    // drawn: switched off, no best run of this course, or past its finish.
    bool ghostMatrix(double raceTime, glm::mat4& matrix) const;
    // The split on show at this race time, against the best run of this
    // course when there is one.
    SplitView split(double raceTime) const;
    // The best run of this course, if any.
    const GhostRun* bestRun() const;

  private:
    GhostRecorder recorder;
    SplitTimes splits;
    std::optional<GhostRun> best;
    std::uint64_t course = 0;
    bool unsaved = false;
    bool shown = true;
};

} // namespace tovi
