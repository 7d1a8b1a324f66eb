#include "core/course/CourseList.h"

#include "core/course/CourseFile.h"
#include "core/course/OwnCourses.h"
#include "core/system/FileBytes.h"
#include "core/view/HudText.h"

#include <algorithm>
#include <sstream>

namespace tovi {

namespace {

constexpr std::size_t kMaxLine = 4096;
// A real list holds a line or two for each of at most kMaxCourses courses.
constexpr std::size_t kMaxListBytes = 64u << 10;
// A longer course name would run into the pictures' key panels.
constexpr std::size_t kMaxName = 20;
// A group heads the course number on the same line.
constexpr std::size_t kMaxGroup = 8;
// The group the player's own courses are shown in ("Your course 7/8").
constexpr const char* kOwnGroup = "Your";
constexpr const char* kGroupLine = "#group ";
// The game's course times start at this when the file has none.
constexpr double kNoBestTime = 10000000.0;

// Whether the whole course file can be read (a folder, say, cannot) within
// the course reader's limit; why says what is wrong otherwise.
bool readable(const std::string& path, std::string& why) {
    std::string bytes;
    switch (readFileBytes(path, kMaxCourseFileBytes, bytes)) {
    case FileRead::Read:
        return true;
    case FileRead::TooLarge:
        why = " is larger than " + std::to_string(kMaxCourseFileBytes >> 20) + " MB";
        return false;
    default:
        why = " cannot be read";
        return false;
    }
}

bool plainText(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A listed file stays beside the list: a plain file name, no folders.
bool plainFileName(const std::string& file) {
    return !file.empty() && file != "." && file != ".." && file.find('/') == std::string::npos &&
           file.find('\\') == std::string::npos && plainText(file);
}

std::string numbered(int index) {
    return std::to_string(index + 1);
}

// "Skipped course 3", "Skipped courses 1,3", or the count when that is long.
std::string skippedNote(const std::vector<int>& skipped) {
    if (skipped.empty())
        return "";
    std::string list;
    for (int index : skipped)
        list += (list.empty() ? "" : ",") + numbered(index);
    std::string text = (skipped.size() == 1 ? "Skipped course " : "Skipped courses ") + list;
    if (text.size() > 20)
        text = "Skipped " + std::to_string(skipped.size()) + " courses";
    return text;
}

} // namespace

CourseList::CourseList(const std::string& folder, std::ostream& log, CoursePathFinder where,
                       const std::string& ownFolder)
    : finder(std::move(where)), ownDir(ownFolder) {
    const std::string listPath = folder + kListFile;
    std::string text;
    const FileRead read = readFileBytes(listPath, kMaxListBytes, text);
    if (read == FileRead::TooLarge)
        log << listPath << " is larger than " << kMaxListBytes / 1024 << " KB: it is not read\n";
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    std::string group;
    while (entries.size() < kMaxCourses && std::getline(in, line)) {
        ++lineNumber;
        line = trimmed(line);
        if (line.size() <= kMaxLine && line.rfind(kGroupLine, 0) == 0) {
            group = trimmed(line.substr(std::char_traits<char>::length(kGroupLine)));
            if (!plainText(group)) {
                log << "Line " << lineNumber << " of " << listPath << ": a group name of plain text only\n";
                group.clear();
            }
            group.resize(std::min(group.size(), kMaxGroup));
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t space = line.find_first_of(" \t");
        CourseListEntry entry;
        entry.file = line.substr(0, space);
        entry.name = space == std::string::npos ? "" : trimmed(line.substr(space));
        if (line.size() > kMaxLine || !plainFileName(entry.file) || !plainText(entry.name)) {
            log << "Skipping line " << lineNumber << " of " << listPath << ": not a course file and name\n";
            continue;
        }
        if (entry.name.size() > kMaxName)
            entry.name.resize(kMaxName);
        entry.path = folder + entry.file;
        entry.group = group;
        entries.push_back(entry);
    }
    if (entries.empty()) {
        if (read != FileRead::Missing)
            log << listPath << " names no course; racing " << folder << "1.track\n";
        entries.push_back({"1.track", "", folder + "1.track", false, ""});
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string path = pathsOf(entries[i]).read;
        std::string why;
        entries[i].available = readable(path, why);
        if (!entries[i].available)
            log << "Course " << i + 1 << " is unavailable: " << path << why << "\n";
        else if (current < 0)
            current = static_cast<int>(i);
    }
    if (!ownDir.empty()) {
        std::vector<std::string> shipped;
        for (const CourseListEntry& entry : entries)
            shipped.push_back(entry.file);
        for (const OwnCourse& course : findOwnCourses(ownDir, shipped, log))
            entries.push_back(
                {course.file, course.name, ownDir + course.file, course.readable, kOwnGroup, true});
        if (current < 0)
            chooseFirstAvailable();
    }
    if (current < 0) {
        note = "No course can be read";
        log << "No course can be read: the level stays empty\n";
    }
}

const CourseListEntry* CourseList::chosenCourse() const {
    if (current < 0 || !entries[static_cast<std::size_t>(current)].available)
        return nullptr;
    return &entries[static_cast<std::size_t>(current)];
}

CoursePaths CourseList::pathsOf(const CourseListEntry& course) const {
    return finder ? finder(course.file) : CoursePaths{course.path, course.path};
}

CoursePaths CourseList::startPaths() const {
    return pathsOf(current < 0 ? entries.front() : entries[static_cast<std::size_t>(current)]);
}

bool CourseList::choose(const std::string& file) {
    unlisted = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].file == file && entries[i].available) {
            current = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void CourseList::chooseFirstAvailable() {
    current = -1;
    for (std::size_t i = 0; i < entries.size() && current < 0; ++i)
        if (entries[i].available)
            current = static_cast<int>(i);
}

bool CourseList::lists(const std::string& file) const {
    return std::any_of(entries.begin(), entries.end(),
                       [&file](const CourseListEntry& e) { return e.file == file; });
}

void CourseList::showUnlisted(const std::string& name) {
    unlisted = true;
    unlistedName = name;
}

int CourseList::addOwn(const std::string& file, const std::string& name) {
    unlisted = false;
    CourseListEntry entry{file, name, ownDir + file, true, kOwnGroup, true};
    auto after = [&entry](const CourseListEntry& other) {
        return other.own && listedBefore({entry.file, entry.name, true}, {other.file, other.name, true});
    };
    const auto place = std::find_if(entries.begin(), entries.end(), after);
    current = static_cast<int>(entries.insert(place, entry) - entries.begin());
    note.clear();
    return current;
}

void CourseList::renameChosen(const std::string& name) {
    if (current >= 0)
        entries[static_cast<std::size_t>(current)].name = name;
}

bool CourseList::removeChosen() {
    if (current < 0 || !entries[static_cast<std::size_t>(current)].own)
        return false;
    entries.erase(entries.begin() + current);
    const int before = current - 1;
    if (before >= 0 && entries[static_cast<std::size_t>(before)].available)
        current = before;
    else
        chooseFirstAvailable();
    note.clear();
    return true;
}

bool CourseList::step(int direction, std::ostream& log) {
    if (std::none_of(entries.begin(), entries.end(), [](const CourseListEntry& e) { return e.available; })) {
        note = "No course can be read";
        return false;
    }
    const int count = static_cast<int>(entries.size());
    const int delta = direction > 0 ? 1 : count - 1;
    unlisted = false;
    std::vector<int> skipped = std::move(failedLoads);
    failedLoads.clear();
    int index = current < 0 ? (direction > 0 ? count - 1 : 0) : current;
    for (int tries = 0; tries < count; ++tries) {
        index = (index + delta) % count;
        if (index == current)
            break;
        if (entries[static_cast<std::size_t>(index)].available) {
            current = index;
            note = skippedNote(skipped);
            return true;
        }
        skipped.push_back(index);
        log << "Passing over course " << index + 1 << ": "
            << pathsOf(entries[static_cast<std::size_t>(index)]).read << " cannot be read\n";
    }
    if (chosenCourse() == nullptr)
        note = "No course can be read";
    else if (!skipped.empty())
        note = skippedNote(skipped);
    return false;
}

void CourseList::markUnavailable(int index, std::ostream& log) {
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    entries[static_cast<std::size_t>(index)].available = false;
    failedLoads.push_back(index);
    note = skippedNote(failedLoads);
    log << "Course " << index + 1
        << " is unavailable: " << pathsOf(entries[static_cast<std::size_t>(index)]).read
        << " cannot be read\n";
}

std::array<std::string, 4> CourseList::screenLines(double bestTime) const {
    std::array<std::string, 4> lines;
    const CourseListEntry* course = chosenCourse();
    if (unlisted) {
        lines[0] = "Course not saved yet";
        lines[1] = unlistedName;
        lines[2] = bestTime >= kNoBestTime ? "No best time yet" : "Best " + formatHundredths(bestTime);
        lines[3] = "< > other course";
        return lines;
    }
    if (course == nullptr) {
        lines[0] = "No course";
        lines[1] = "can be read";
        lines[3] = "Enter: empty level";
        return lines;
    }
    lines[0] = (course->group.empty() ? "Course " : course->group + " course ") + numbered(current) + "/" +
               std::to_string(entries.size());
    lines[1] = course->name;
    lines[2] = bestTime >= kNoBestTime ? "No best time yet" : "Best " + formatHundredths(bestTime);
    lines[3] = note.empty() ? "< > other course" : note;
    return lines;
}

} // namespace tovi
