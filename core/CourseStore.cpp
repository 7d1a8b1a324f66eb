#include "core/CourseStore.h"

#include "core/DataPaths.h"

#include <filesystem>

namespace tovi {

namespace {
void setNotice(std::string* notice, const char* text) {
    if (notice != nullptr)
        *notice = text;
}
} // namespace

bool CourseStore::load(const std::string& path, CourseData& out, std::ostream& log) {
    filePath = path;
    if (!readCourseFile(filePath, out, log)) {
        std::error_code error;
        keepFile = std::filesystem::exists(filePath, error);
        keepReason = "it could not be read";
        return false;
    }
    keepFile = out.truncated || out.skipped > 0;
    if (out.truncated)
        keepReason = "it holds more than the " + std::to_string(kMaxCourseEntries) +
                     " pieces and rings a course may have";
    else if (out.skipped > 0)
        keepReason = std::to_string(out.skipped) + (out.skipped == 1 ? " entry" : " entries") +
                     " with a non-finite number had to be skipped";
    return true;
}

bool CourseStore::save(const std::string& path, const std::vector<CoursePiece>& pieces,
                       const std::vector<glm::mat4>& rings, double bestTime, std::ostream& log,
                       std::string* notice) {
    if (keepFile) {
        if (!toldKeeping) {
            toldKeeping = true;
            log << "Not saving: " << filePath << " was not loaded whole and is kept as it is (" << keepReason
                << ")" << std::endl;
            setNotice(notice, "Saving is off: course not loaded whole");
        }
        return false;
    }
    // The player's folder is made on the first save.
    std::string error = "there is no folder for the player's files (HOME is not set)";
    if (!path.empty() && makeFolderFor(path, &error) &&
        writeFileAtomically(path, formatCourse(pieces, rings, bestTime), &error))
        return true;
    // A won race saves every frame: say it once, not thirty times a second.
    if (!reportedFailure) {
        reportedFailure = true;
        log << "Could not save the course to " << path << ": " << error << std::endl;
        setNotice(notice, "Could not save the course");
    }
    return false;
}

} // namespace tovi
