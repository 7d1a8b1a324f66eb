#pragma once
// The course file's load and save policy: what the game may write over, and
// when a save has anything to write.
#include "core/course/CourseFile.h"

#include <ostream>
#include <string>
#include <vector>

namespace tovi {

// What tells one state of a file from another without reading it.
struct FileStamp {
    bool exists = false;
    unsigned long long device = 0, inode = 0, size = 0;
    long long changedSeconds = 0, changedNanoseconds = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               changedSeconds == o.changedSeconds && changedNanoseconds == o.changedNanoseconds;
    }
};
FileStamp stampOf(const std::string& path);

// The course the game has loaded. A file that exists but was not loaded
// whole (unreadable, an entry or best time skipped for a non-finite number,
// or more entries than a course may hold) is never saved over: saving would
// lose the rest of it.
class CourseStore {
  public:
    // The ways the game saves the course. Each tells its own first failure,
    // so a failing won-race save does not silence the editor's.
    enum Saver { WonRace = 0, Editor = 1 };

    // Takes over the course readCourseFile read from path (read: whether it
    // could): whether it may be saved over follows from what was read.
    // Returns read. The course's start goes with it into every save.
    bool adopt(const std::string& path, bool read, const CourseData& course);
    // Writes the whole course atomically to path, making its folder first
    // (an empty path: nowhere to save), unless this very content is what was
    // last written there successfully and the file is still the one written
    // (same file, size and change time: a file deleted or changed since is
    // written again); then there is nothing to do and it returns true. False when the loaded course is kept
    // as it is, the course holds more entries than it may, or the file could not be written. The refusal is
    // told once; a failure once per saver until that saver succeeds again. notice (if given) gets a short
    // line for the screen whenever something was told.
    // name: the course's name, kept in the file ("" for none).
    bool save(const std::string& path, const std::vector<CoursePiece>& pieces,
              const std::vector<glm::mat4>& rings, double bestTime, std::optional<double> authorTime,
              Saver saver, std::ostream& log, std::string* notice = nullptr, const std::string& name = "");

    bool savingAllowed() const { return !keepFile; }
    // The path of the last load.
    const std::string& path() const { return filePath; }
    // The race start of the last load (the default when it failed).
    const RaceStart& start() const { return raceStart; }

  private:
    bool sameAsLastWritten(const std::string& path, const std::vector<CoursePiece>& pieces,
                           const std::vector<glm::mat4>& rings, double bestTime,
                           std::optional<double> authorTime, const std::string& name) const;

    std::string filePath;
    RaceStart raceStart;
    bool keepFile = false;
    std::string keepReason; // why the file is kept, for the refusal
    bool toldKeeping = false;
    bool toldFailure[2] = {false, false}; // per saver

    // What the last successful save wrote, and where.
    bool haveWritten = false;
    std::string writtenPath;
    std::vector<CoursePiece> writtenPieces;
    std::vector<glm::mat4> writtenRings;
    double writtenBestTime = 0.0;
    std::optional<double> writtenAuthorTime;
    RaceStart writtenStart;
    FileStamp writtenStamp;
    std::string writtenName;
};

// Whether a course of entryCount pieces and rings has room for adding more:
// what the game saves must load back whole, and the reader keeps at most
// kMaxCourseEntries.
inline bool courseHasRoom(std::size_t entryCount, std::size_t adding = 1) {
    return entryCount <= kMaxCourseEntries && adding <= kMaxCourseEntries - entryCount;
}

} // namespace tovi
