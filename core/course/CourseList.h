#pragma once
// The courses on offer and the one the player has chosen. The list file
// "courses.txt" beside the course files names them in order, one a line: the
// course file, then the course's name ("2.track Hairpins"). A line "#group
// Easy" heads the courses after it, up to the next such line. Blank lines and
// other lines starting with '#' are passed over (older builds pass over the
// group lines too).
#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {

struct CourseListEntry {
    std::string file; // as listed, e.g. "2.track"
    std::string name; // e.g. "Hairpins"
    std::string path; // the list's folder and the file
    bool available = false;
    std::string group; // e.g. "Easy"; empty before the list's first group line
    bool own = false;  // the player's own course, not named in courses.txt
};

// Where a course is read from and saved to (the player's saved copy, when
// there is one, and the player's folder for an installed game).
struct CoursePaths {
    std::string read;
    std::string save;
};
using CoursePathFinder = std::function<CoursePaths(const std::string& file)>;

class CourseList {
  public:
    static constexpr const char* kListFile = "courses.txt";
    static constexpr std::size_t kMaxCourses = 100;

    // Reads folder + "courses.txt" (folder ends with '/'). Without a list, or
    // with one that names no course, the only course is folder + "1.track".
    // Every course file is tried: one that is missing or cannot be read is
    // unavailable, said on log. The first available course is chosen.
    // Without a path finder a course is read and saved at its listed path.
    // The player's own courses in ownFolder (ends with '/'; empty: none)
    // follow the listed ones (see findOwnCourses).
    CourseList(const std::string& folder, std::ostream& log, CoursePathFinder where = nullptr,
               const std::string& ownFolder = "");

    const std::vector<CourseListEntry>& courses() const { return entries; }
    // Index of the chosen course; -1 when no available course is chosen.
    int chosen() const { return chosenCourse() == nullptr ? -1 : current; }
    // The chosen course, or nullptr.
    const CourseListEntry* chosenCourse() const;
    // Where a course is read and saved, asked afresh each time (a save may
    // have made the player's own copy since).
    CoursePaths pathsOf(const CourseListEntry& course) const;
    // The course the game loads at the start: the chosen one, or the first
    // listed when none is available (it loads as an empty level and is never
    // saved over while it exists).
    CoursePaths startPaths() const;

    // Chooses the available course listed as file; false leaves the choice.
    bool choose(const std::string& file);
    // Steps to the next (direction > 0) or previous available course,
    // wrapping round; unavailable ones are passed over and named in
    // message(). False when there is no other course to go to.
    bool step(int direction, std::ostream& log);
    // The folder of the player's own courses ("" when there is none).
    const std::string& ownFolder() const { return ownDir; }
    // A course of the player's own saved for the first time: listed among
    // the own courses by name, and chosen. Returns its index.
    int addOwn(const std::string& file, const std::string& name);
    // The chosen course's name, as the screens show it.
    void renameChosen(const std::string& name);
    // Takes the chosen own course off the list; the one before it (or the
    // first available) is chosen. False for a shipped course.
    bool removeChosen();
    // The screens show a course not on the list yet (a new one, until its
    // first save) instead of the chosen one; stepping or choosing ends it.
    void showUnlisted(const std::string& name);
    // Whether a file name is a listed course's (shipped or own).
    bool lists(const std::string& file) const;

    // A course whose file failed to load after all: unavailable from now on,
    // said on log and in message(). Stepping goes on from where it was.
    void markUnavailable(int index, std::ostream& log);

    // The last word about the choice for the screens ("" when none).
    const std::string& message() const { return note; }
    // What the start, win and lose screens show: the chosen course's group
    // and number, its name, its best time (milliseconds), and the message or the keys.
    std::array<std::string, 4> screenLines(double bestTime) const;

  private:
    void chooseFirstAvailable();

    CoursePathFinder finder;
    std::string ownDir;
    bool unlisted = false;
    std::string unlistedName;
    std::vector<CourseListEntry> entries;
    int current = -1;
    std::string note;
    // Courses marked since the last step, for the next step's message.
    std::vector<int> failedLoads;
};

} // namespace tovi
