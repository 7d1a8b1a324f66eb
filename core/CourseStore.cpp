#include "core/CourseStore.h"

#include "core/DataPaths.h"

#include <filesystem>

namespace tovi {

bool CourseStore::load(const std::string& path, CourseData& out, std::ostream& log) {
    filePath = path;
    if (!readCourseFile(filePath, out, log)) {
        std::error_code error;
        keepFile = std::filesystem::exists(filePath, error);
        return false;
    }
    keepFile = out.truncated;
    return true;
}

bool CourseStore::save(const std::string& path, const std::vector<CoursePiece>& pieces,
                       const std::vector<glm::mat4>& rings, double bestTime, std::ostream& log) {
    if (keepFile) {
        if (!toldKeeping) {
            toldKeeping = true;
            log << "Not saving: " << filePath << " was not loaded whole and is kept as it is" << std::endl;
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
    }
    return false;
}

} // namespace tovi
