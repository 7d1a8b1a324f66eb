#pragma once
// The player's own courses: the ".track" files in the player's Tracks/
// folder that courses.txt does not name. A course received from someone
// else and dropped into the folder is one of them the next time the list is
// made.
#include "core/course/CourseFile.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {

struct OwnCourse {
    std::string file; // e.g. "Loop-de-loop.track"
    std::string name; // from the file; the file name without ".track" when it has none
    bool readable = false;
};

constexpr std::size_t kMaxOwnCourses = 500;

// The order own courses are listed in: by name regardless of case, then by
// file name.
bool listedBefore(const OwnCourse& a, const OwnCourse& b);

// Whether the course text can be raced and saved over: it holds at least one
// entry, was read whole (no entry left out or skipped) and is text. why
// (when given) says what is wrong otherwise.
bool ownCourseReadable(const std::string& text, const std::string& path, std::ostream& log,
                       std::string* name);

// The own courses in folder (ends with '/'), in a stable order: by name,
// then file name. shipped: the files courses.txt names (not own courses).
// At most kMaxOwnCourses are listed, the rest passed over with a message; a
// file that cannot be read is listed unreadable with one message.
std::vector<OwnCourse> findOwnCourses(const std::string& folder, const std::vector<std::string>& shipped,
                                      std::ostream& log);

} // namespace tovi
