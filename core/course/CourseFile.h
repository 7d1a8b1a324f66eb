#pragma once
// Reading and writing the course file's words and numbers. No GL here: the
// controls turn what is read into pieces and rings.
#include "physics/RaceStart.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {

struct CourseEntry {
    std::string kind; // "ramp", "straight", "left", "right" or "ring"
    glm::mat4 matrix; // column-major placement, identity where numbers are missing
};

// Most pieces and rings a course may hold. Every one keeps its own meshes,
// textures and body (about 2 MB, and 15 ms to build); a shared file with a
// million entries would otherwise exhaust memory before the first frame.
constexpr std::size_t kMaxCourseEntries = 1000;
// No real course file comes near this (1,000 entries of about 150 bytes):
// a larger one is not read.
constexpr std::size_t kMaxCourseFileBytes = 1u << 20;

// Where the race ball appears. A course names its own start with a line
// "start x y z" (a long course starts higher); older builds skip that line,
// and a course without it starts at kDefaultRaceStart.
struct RaceStart {
    bool named = false; // the file has a start line
    glm::vec3 position = kDefaultRaceStart;
};
// The farthest a start may lie from the origin on any axis.
constexpr float kMaxStartCoordinate = 10000.0f;

struct CourseData {
    std::vector<CourseEntry> entries; // in file order
    double bestTime = 0.0;            // 0 when the file has none
    // The author time (milliseconds, see Medals.h), when the file has a valid
    // one: the best time the course's designer finished it in.
    std::optional<double> authorTime;
    std::string name;        // from the word "name=..." (see CourseNames.h); "" without one
    bool truncated = false;  // entries beyond kMaxCourseEntries were left out
    std::size_t skipped = 0; // entries and best times left out for a non-finite number
    RaceStart start;
};

// Parses course text. Entries, starts and best times with a non-finite number
// (nan, inf), and a start without three numbers or beyond kMaxStartCoordinate,
// are skipped with a message naming sourceName and counted in skipped. Unknown words are ignored one at
// a time. Only the first kMaxCourseEntries entries are kept (message, truncated set); a best time after them
// still counts. An author word that is not a valid author time is ignored with a message (the course then has
// none; it does not stop saves).
void parseCourse(const std::string& text, const std::string& sourceName, CourseData& out, std::ostream& log);

// Reads the file; false (with "Impossible to open the file !" and the path on
// log) when it cannot be opened, or with its own message when it is larger
// than kMaxCourseFileBytes, leaving out unchanged.
bool readCourseFile(const std::string& path, CourseData& out, std::ostream& log);

// The file text exactly as the game writes it.
struct CoursePiece {
    std::string name;
    glm::mat4 matrix;
};
// A course with a name keeps it as its second line, and a start the course
// names follows; the author time, when given, is a line "author=<ms>" before
// the best time.
std::string formatCourse(const std::vector<CoursePiece>& pieces, const std::vector<glm::mat4>& rings,
                         double bestTime, const std::string& name = "",
                         std::optional<double> authorTime = std::nullopt,
                         const RaceStart& start = RaceStart{});

// Replaces path atomically: a temporary file in the same folder, flushed to
// disk, then renamed over the old one. On failure the old file is untouched,
// the temporary removed, and error (if given) says why.
bool writeFileAtomically(const std::string& path, const std::string& contents, std::string* error);

// Removes the temporaries an interrupted writeFileAtomically(path, ...) left
// beside path (a game killed in the middle of a save), and only those: files
// named "." + file name + ".tmp-" + six characters. Says on log how many went;
// returns that number.
int removeStaleTemporaries(const std::string& path, std::ostream& log);

} // namespace tovi
