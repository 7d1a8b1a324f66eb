#include "core/course/CourseStore.h"

#include "core/system/DataPaths.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace tovi {

namespace {

void setNotice(std::string* notice, const char* text) {
    if (notice != nullptr)
        *notice = text;
}

// Bit for bit, so a value the file would show the same way is never taken
// for a change (and a nan never for the same).
template <typename T> bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

} // namespace

FileStamp stampOf(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = static_cast<unsigned long long>(info.st_dev);
    stamp.inode = static_cast<unsigned long long>(info.st_ino);
    stamp.size = static_cast<unsigned long long>(info.st_size);
    stamp.changedSeconds = static_cast<long long>(info.st_mtim.tv_sec);
    stamp.changedNanoseconds = static_cast<long long>(info.st_mtim.tv_nsec);
    return stamp;
}

bool CourseStore::adopt(const std::string& path, bool read, const CourseData& course) {
    filePath = path;
    toldKeeping = false; // each course that is kept is told once
    raceStart = read ? course.start : RaceStart{};
    if (!read) {
        std::error_code error;
        keepFile = std::filesystem::exists(filePath, error);
        keepReason = "it could not be read";
        return false;
    }
    keepFile = course.truncated || course.skipped > 0;
    if (course.truncated)
        keepReason = "it holds more than the " + std::to_string(kMaxCourseEntries) +
                     " pieces and rings a course may have";
    else if (course.skipped > 0)
        keepReason = std::to_string(course.skipped) + (course.skipped == 1 ? " entry" : " entries") +
                     " with a non-finite number had to be skipped";
    return true;
}

bool CourseStore::sameAsLastWritten(const std::string& path, const std::vector<CoursePiece>& pieces,
                                    const std::vector<glm::mat4>& rings, double bestTime,
                                    std::optional<double> authorTime, const std::string& name) const {
    if (!haveWritten || path != writtenPath || name != writtenName || !sameBits(bestTime, writtenBestTime) ||
        authorTime != writtenAuthorTime || raceStart.named != writtenStart.named ||
        !sameBits(raceStart.position, writtenStart.position) || pieces.size() != writtenPieces.size() ||
        rings.size() != writtenRings.size())
        return false;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (pieces[i].name != writtenPieces[i].name || !sameBits(pieces[i].matrix, writtenPieces[i].matrix))
            return false;
    for (std::size_t i = 0; i < rings.size(); ++i)
        if (!sameBits(rings[i], writtenRings[i]))
            return false;
    // Deleted, replaced or edited since: what is on disk is not what was written.
    return stampOf(path) == writtenStamp;
}

bool CourseStore::save(const std::string& path, const std::vector<CoursePiece>& pieces,
                       const std::vector<glm::mat4>& rings, double bestTime, std::optional<double> authorTime,
                       Saver saver, std::ostream& log, std::string* notice, const std::string& name) {
    if (keepFile) {
        if (!toldKeeping) {
            toldKeeping = true;
            log << "Not saving: " << filePath << " was not loaded whole and is kept as it is (" << keepReason
                << ")" << std::endl;
            setNotice(notice, "Saving is off: course not loaded whole");
        }
        return false;
    }
    // A won race asks every frame, and so does a held Ctrl+S: only a change
    // is written.
    if (sameAsLastWritten(path, pieces, rings, bestTime, authorTime, name))
        return true;

    bool& told = toldFailure[saver == Editor ? 1 : 0];
    // The player's folder is made on the first save.
    std::string error = "there is no folder for the player's files (HOME is not set)";
    if (!courseHasRoom(pieces.size() + rings.size(), 0))
        error = "it holds " + std::to_string(pieces.size() + rings.size()) +
                " pieces and rings, more than the " + std::to_string(kMaxCourseEntries) +
                " a course may have";
    else if (!path.empty() && makeFolderFor(path, &error) &&
             writeFileAtomically(path, formatCourse(pieces, rings, bestTime, name, authorTime, raceStart),
                                 &error)) {
        told = false;
        haveWritten = true;
        writtenPath = path;
        writtenPieces = pieces;
        writtenRings = rings;
        writtenBestTime = bestTime;
        writtenAuthorTime = authorTime;
        writtenStart = raceStart;
        writtenStamp = stampOf(path);
        writtenName = name;
        return true;
    }
    if (!told) {
        told = true;
        log << "Could not save the course to " << path << ": " << error << std::endl;
        setNotice(notice, saver == Editor ? "Could not save the course" : "Could not save the best time");
    }
    return false;
}

} // namespace tovi
