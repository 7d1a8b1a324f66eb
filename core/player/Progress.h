#pragma once
// The player's progress: per course file name, the best time they finished it
// in and the best medal they won there, and the layout they last saved from
// the editor (a course they design). Kept in "progress.txt" in the player's
// folder:
//
//   zentaro-progress 1
//   2.track 23456 gold -
//   mine.track - none 3f09a1c2d4e5b6a7
//
// one line per course: the file name, the best time in whole milliseconds
// ("-" when never finished), the best medal (none, bronze, silver, gold,
// author) and the 16 hex digits of the saved layout's fingerprint ("-").
#include "core/course/Medals.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {

struct CourseProgress {
    double best = 0.0; // milliseconds; 0: never finished
    Medal medal = Medal::None;
    std::optional<std::uint64_t> designedLayout;
};

struct ProgressText {
    std::map<std::string, CourseProgress> courses;
    // Lines that were not a valid entry, and the first one's number and fault.
    std::size_t badLines = 0;
    std::string firstFault;
};

constexpr std::size_t kMaxProgressBytes = 64 * 1024;
constexpr std::size_t kMaxProgressCourses = 1000;

// Checks every line and keeps the valid entries (at most
// kMaxProgressCourses; a later line for the same course replaces an earlier).
ProgressText parseProgress(const std::string& text);
std::string formatProgress(const std::map<std::string, CourseProgress>& courses);

class Progress {
  public:
    // Reads path when it exists (an empty path: nowhere to keep progress). A
    // damaged file (too large, unreadable, a line that is not an entry) is
    // renamed to path + ".damaged" and said so on log; its valid entries are
    // kept and written to a fresh file by the next save.
    Progress(std::string path, std::ostream& log);

    const CourseProgress* find(const std::string& file) const;
    // A finish in ms earning medal: keeps the better time and the better
    // medal. True when either improved (then it wants saving).
    bool recordFinish(const std::string& file, double ms, Medal medal);
    // The layout the player saved from the editor for this course.
    void setDesignedLayout(const std::string& file, std::uint64_t fingerprint);
    bool designedBy(const std::string& file, std::uint64_t fingerprint) const;
    // Medals won over these courses: each course counts every tier up to its
    // best medal (gold: bronze, silver and gold).
    int medalsWon(const std::vector<std::string>& files) const;

    // Replaces the file atomically; false when it cannot be written (the
    // game goes on), said on log once until a save succeeds again.
    bool save(std::ostream& log);
    const std::string& path() const { return filePath; }

  private:
    std::string filePath;
    std::map<std::string, CourseProgress> courses;
    bool saveAllowed = true; // false when a damaged file could not be set aside
    bool toldFailure = false;
};

// The player's folder (see DataPaths.h) + "progress.txt"; empty when there is nowhere to save.
std::string progressPath();

} // namespace tovi
