#pragma once
// The course file's load and save policy: what the game may write over.
#include "core/CourseFile.h"

#include <ostream>
#include <string>
#include <vector>

namespace tovi {

// The course the game has loaded. A file that exists but was not loaded
// whole (unreadable, an entry or best time skipped for a non-finite number,
// or more entries than a course may hold) is never saved over: saving would
// lose the rest of it.
class CourseStore {
  public:
    // Reads the course at path into out; false when it could not be read.
    bool load(const std::string& path, CourseData& out, std::ostream& log);
    // Writes the whole course atomically to path, making its folder first
    // (an empty path: nowhere to save); false when the loaded
    // course is kept as it is or the file could not be written. The refusal
    // and the first failure are told once on log; notice (if given) gets a
    // short line for the screen whenever something was told.
    bool save(const std::string& path, const std::vector<CoursePiece>& pieces,
              const std::vector<glm::mat4>& rings, double bestTime, std::ostream& log,
              std::string* notice = nullptr);

    bool savingAllowed() const { return !keepFile; }
    // The path of the last load.
    const std::string& path() const { return filePath; }

  private:
    std::string filePath;
    bool keepFile = false;
    std::string keepReason; // why the file is kept, for the refusal
    bool toldKeeping = false;
    bool reportedFailure = false;
};

} // namespace tovi
