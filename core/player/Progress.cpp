#include "core/player/Progress.h"

#include "core/course/CourseFile.h"
#include "core/system/DataPaths.h"
#include "core/system/FileBytes.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tovi {

namespace {

constexpr const char* kHeader = "zentaro-progress 1";
constexpr std::size_t kMaxFileName = 100;
// A best time above this (about eleven days) is not a time a race gives.
constexpr double kMaxBest = 1.0e9;

bool validFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxFileName || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c <= 0x20 || c == 0x7f || c == '/' || c == '\\')
            return false;
    }
    return true;
}

bool wholeNumber(const std::string& text, double& value) {
    if (text.empty() || text.size() > 12)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

bool fingerprint(const std::string& text, std::uint64_t& value) {
    if (text.size() != 16)
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    value = std::strtoull(text.c_str(), nullptr, 16);
    return true;
}

// One entry line; the fault when it is none.
std::string parseEntry(const std::string& line, std::string& file, CourseProgress& entry) {
    std::istringstream words(line);
    std::string best, medal, layout, extra;
    if (!(words >> file >> best >> medal >> layout) || (words >> extra))
        return "not four words";
    if (!validFileName(file))
        return "not a course file name";
    if (best != "-" && !(wholeNumber(best, entry.best) && entry.best > 0.0 && entry.best <= kMaxBest))
        return "not a best time";
    const std::optional<Medal> named = medalNamed(medal);
    if (!named)
        return "not a medal";
    entry.medal = *named;
    std::uint64_t value = 0;
    if (layout != "-" && !fingerprint(layout, value))
        return "not a layout";
    if (layout != "-")
        entry.designedLayout = value;
    return "";
}

} // namespace

ProgressText parseProgress(const std::string& text) {
    ProgressText out;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fault = [&out, &number](const std::string& what) {
        if (out.badLines++ == 0)
            out.firstFault = "line " + std::to_string(number) + ": " + what;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1) {
            if (line != kHeader)
                fault("not a progress file");
            continue;
        }
        if (line.empty())
            continue;
        std::string file;
        CourseProgress entry;
        const std::string why = parseEntry(line, file, entry);
        if (!why.empty())
            fault(why);
        else if (out.courses.size() < kMaxProgressCourses || out.courses.count(file) != 0)
            out.courses[file] = entry;
        else
            fault("more than " + std::to_string(kMaxProgressCourses) + " courses");
    }
    return out;
}

std::string formatProgress(const std::map<std::string, CourseProgress>& courses) {
    std::string text = std::string(kHeader) + "\n";
    for (const auto& [file, entry] : courses) {
        char layout[24] = "-";
        if (entry.designedLayout)
            std::snprintf(layout, sizeof layout, "%016" PRIx64, *entry.designedLayout);
        const std::string best =
            entry.best > 0.0 ? std::to_string(static_cast<long long>(std::llround(entry.best))) : "-";
        text += file + " " + best + " " + medalName(entry.medal) + " " + layout + "\n";
    }
    return text;
}

Progress::Progress(std::string path, std::ostream& log) : filePath(std::move(path)) {
    if (filePath.empty())
        return;
    std::string text;
    const FileRead read = readFileBytes(filePath, kMaxProgressBytes, text);
    if (read == FileRead::Missing)
        return;
    std::string fault;
    if (read == FileRead::TooLarge) {
        fault = "larger than " + std::to_string(kMaxProgressBytes / 1024) + " KB";
    } else if (read == FileRead::Unreadable) {
        fault = "cannot be read";
    } else {
        ProgressText parsed = parseProgress(text);
        courses = std::move(parsed.courses);
        if (parsed.badLines > 0)
            fault = parsed.firstFault +
                    (parsed.badLines > 1 ? " and " + std::to_string(parsed.badLines - 1) + " more bad line(s)"
                                         : "");
    }
    if (fault.empty())
        return;
    const std::string aside = filePath + ".damaged";
    const bool setAside = std::rename(filePath.c_str(), aside.c_str()) == 0;
    log << "The progress file " << filePath << " is damaged (" << fault << "); ";
    if (setAside) {
        log << "set aside as " << aside << ", keeping " << courses.size() << " good entr"
            << (courses.size() == 1 ? "y" : "ies") << std::endl;
    } else {
        saveAllowed = false;
        log << "it could not be set aside, so progress is not saved this time" << std::endl;
    }
}

const CourseProgress* Progress::find(const std::string& file) const {
    const auto found = courses.find(file);
    return found == courses.end() ? nullptr : &found->second;
}

bool Progress::recordFinish(const std::string& file, double ms, Medal medal) {
    if (!validFileName(file) || !(std::isfinite(ms) && ms > 0.0 && ms <= kMaxBest))
        return false;
    if (courses.count(file) == 0 && courses.size() >= kMaxProgressCourses)
        return false;
    CourseProgress& entry = courses[file];
    bool improved = false;
    if (entry.best <= 0.0 || std::round(ms) < entry.best) {
        entry.best = std::round(ms);
        improved = true;
    }
    if (medal > entry.medal) {
        entry.medal = medal;
        improved = true;
    }
    return improved;
}

void Progress::setDesignedLayout(const std::string& file, std::uint64_t fingerprint) {
    if (!validFileName(file) || (courses.count(file) == 0 && courses.size() >= kMaxProgressCourses))
        return;
    courses[file].designedLayout = fingerprint;
}

bool Progress::designedBy(const std::string& file, std::uint64_t fingerprint) const {
    const CourseProgress* entry = find(file);
    return entry != nullptr && entry->designedLayout == fingerprint;
}

int Progress::medalsWon(const std::vector<std::string>& files) const {
    int won = 0;
    for (const std::string& file : files) {
        if (const CourseProgress* entry = find(file))
            won += static_cast<int>(entry->medal);
    }
    return won;
}

bool Progress::save(std::ostream& log) {
    if (filePath.empty() || !saveAllowed)
        return false;
    std::string error;
    if (makeFolderFor(filePath, &error) && writeFileAtomically(filePath, formatProgress(courses), &error)) {
        toldFailure = false;
        return true;
    }
    if (!toldFailure)
        log << "Could not save the progress to " << filePath << ": " << error << std::endl;
    toldFailure = true;
    return false;
}

std::string progressPath() {
    const std::string& folder = dataPaths().playerDir;
    return folder.empty() ? std::string() : folder + "progress.txt";
}

} // namespace tovi
