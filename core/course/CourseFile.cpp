#include "core/course/CourseFile.h"

#include "core/course/CourseFileInternal.h"
#include "core/course/CourseNames.h"
#include "core/course/Medals.h"
#include "core/system/FileBytes.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovi {

namespace {

bool isPieceKeyword(const std::string& word) {
    return word == "ramp" || word == "straight" || word == "left" || word == "right";
}

// Walks the course text the way the game has always read it: words split by
// white space, numbers taken like "%f" takes them, so a number may end in the
// middle of a word and the rest of that word is read as the next word.
class CourseReader {
  public:
    explicit CourseReader(const std::string& text) : text(text) {}

    // Next white-space separated word, whatever its length; false at the end.
    bool nextWord(std::string& word) {
        skipSpace();
        if (pos >= text.size()) {
            return false;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !isSpace(text[pos])) {
            ++pos;
        }
        word.assign(text, start, pos - start);
        return true;
    }

    // A number at the reading position; false (nothing consumed) when there is
    // none. Values too large for a float come back as infinity.
    bool nextNumber(float& value) {
        skipSpace();
        if (pos >= text.size()) {
            return false;
        }
        const char* begin = text.c_str() + pos;
        char* end = nullptr;
        const float parsed = std::strtof(begin, &end);
        if (end == begin) {
            return false;
        }
        pos += static_cast<std::size_t>(end - begin);
        value = parsed;
        return true;
    }

  private:
    static bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
    void skipSpace() {
        while (pos < text.size() && isSpace(text[pos])) {
            ++pos;
        }
    }

    const std::string& text;
    std::size_t pos = 0;
};

// Up to 16 numbers in memory order; numbers the text does not supply keep the
// identity's values. False when one of the numbers read is not finite.
bool readMatrix(CourseReader& reader, glm::mat4& matrix) {
    matrix = glm::mat4(1.0f);
    float* values = &matrix[0][0];
    bool finite = true;
    for (int i = 0; i < 16; ++i) {
        float value = 0.0f;
        if (!reader.nextNumber(value)) {
            break;
        }
        values[i] = value;
        finite = finite && std::isfinite(value);
    }
    return finite;
}

// Three numbers, each finite and within kMaxStartCoordinate; start is left
// as it was otherwise.
bool readStart(CourseReader& reader, RaceStart& start) {
    glm::vec3 position(0.0f);
    for (int i = 0; i < 3; ++i) {
        float value = 0.0f;
        if (!reader.nextNumber(value) || !(std::fabs(value) <= kMaxStartCoordinate))
            return false;
        position[i] = value;
    }
    start.named = true;
    start.position = position;
    return true;
}

std::string errnoText(int error) {
    return std::strerror(error);
}

// Name of a save in progress, before mkstemp's six characters.
std::string temporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tmp-";
}

} // namespace

void parseCourse(const std::string& text, const std::string& sourceName, CourseData& out, std::ostream& log) {
    out = CourseData{};
    CourseReader reader(text);
    std::string word;
    std::size_t leftOut = 0;
    while (reader.nextWord(word)) {
        if (isPieceKeyword(word) || word == "ring") {
            CourseEntry entry;
            entry.kind = word;
            if (!readMatrix(reader, entry.matrix)) {
                log << "Skipping " << word << " entry with a non-finite number in " << sourceName << "\n";
                ++out.skipped;
            } else if (out.entries.size() < kMaxCourseEntries) {
                out.entries.push_back(entry);
            } else {
                ++leftOut;
            }
        } else if (word == "start") {
            if (!readStart(reader, out.start)) {
                log << "Skipping start entry without three finite numbers within " << kMaxStartCoordinate
                    << " in " << sourceName << "\n";
                ++out.skipped;
            }
        } else if (word == "besttime") {
            float value = 0.0f;
            if (reader.nextNumber(value)) {
                if (std::isfinite(value)) {
                    out.bestTime = static_cast<double>(value);
                } else {
                    log << "Skipping besttime entry with a non-finite number in " << sourceName << "\n";
                    ++out.skipped;
                }
            }
        } else if (word.compare(0, 5, kCourseNameWord) == 0) {
            if (!parseCourseNameWord(word, out.name))
                log << "Skipping a course name that is not one in " << sourceName << "\n";
        } else if (isAuthorWord(word)) {
            out.authorTime = parseAuthorWord(word, sourceName, log);
        }
        // Any other word is skipped on its own.
    }
    if (leftOut > 0) {
        out.truncated = true;
        log << sourceName << " holds " << out.entries.size() + leftOut << " pieces and rings, more than the "
            << kMaxCourseEntries << " a course may have; the other " << leftOut << " are left out\n";
    }
}

bool readCourseFile(const std::string& path, CourseData& out, std::ostream& log) {
    std::string text;
    switch (readFileBytes(path, kMaxCourseFileBytes, text)) {
    case FileRead::Read:
        break;
    case FileRead::TooLarge:
        log << "Course " << path << " is larger than " << (kMaxCourseFileBytes >> 20)
            << " MB: it is not read\n";
        return false;
    default:
        log << "Impossible to open the file !\n" << path;
        return false;
    }
    parseCourse(text, path, out, log);
    return true;
}

std::string formatCourse(const std::vector<CoursePiece>& pieces, const std::vector<glm::mat4>& rings,
                         double bestTime, const std::string& name, std::optional<double> authorTime,
                         const RaceStart& start) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    auto writeMatrix = [&out](const glm::mat4& m) {
        const float* values = &m[0][0];
        for (int i = 0; i < 16; ++i) {
            out << ' ' << values[i];
        }
        out << '\n';
    };
    out << "Writing this to a file.\n";
    if (!name.empty())
        out << courseNameWord(name) << '\n';
    if (start.named)
        out << "start " << start.position.x << ' ' << start.position.y << ' ' << start.position.z << '\n';
    for (const CoursePiece& piece : pieces) {
        out << piece.name;
        writeMatrix(piece.matrix);
    }
    for (const glm::mat4& ring : rings) {
        out << "ring";
        writeMatrix(ring);
    }
    if (authorTime && validAuthorTime(*authorTime))
        out << authorWord(*authorTime) << '\n';
    // The best time whole, to the millisecond and below (six digits would
    // write a new course's 10000000 as 1e+07 and round times past 16 min).
    out << "besttime " << std::setprecision(15) << bestTime << '\n';
    return out.str();
}

namespace detail {

bool writeFileAtomicallyWithFailure(const std::string& path, const std::string& contents, std::string* error,
                                    AtomicWriteStep failAt) {
    namespace fs = std::filesystem;
    auto fail = [error](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    auto failedStep = [failAt](AtomicWriteStep step) {
        if (failAt == step) {
            errno = EIO;
            return true;
        }
        return false;
    };

    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string tempName = (folder / (temporaryPrefix(target) + "XXXXXX")).string();

    int fd = failedStep(AtomicWriteStep::CreateTemp) ? -1 : ::mkstemp(tempName.data());
    if (fd < 0) {
        return fail("cannot create a temporary file in " + folder.string() + ": " + errnoText(errno));
    }

    // The new file keeps the old one's permissions (mkstemp makes it private).
    struct stat old {};
    mode_t mode = 0;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int saved = errno;
        ::close(fd);
        ::unlink(tempName.c_str());
        return fail("cannot write " + tempName + ": " + errnoText(saved));
    }

    std::string why;
    bool written = !failedStep(AtomicWriteStep::Write) &&
                   std::fwrite(contents.data(), 1, contents.size(), file) == contents.size() &&
                   std::fflush(file) == 0;
    if (!written) {
        why = "cannot write " + tempName + ": " + errnoText(errno);
    } else if (failedStep(AtomicWriteStep::Sync) || ::fsync(::fileno(file)) != 0) {
        written = false;
        why = "cannot flush " + tempName + " to disk: " + errnoText(errno);
    }
    const bool closed = std::fclose(file) == 0 && !failedStep(AtomicWriteStep::Close);
    if (written && !closed) {
        written = false;
        why = "cannot close " + tempName + ": " + errnoText(errno);
    }
    if (written &&
        (failedStep(AtomicWriteStep::Rename) || std::rename(tempName.c_str(), path.c_str()) != 0)) {
        written = false;
        why = "cannot replace " + path + ": " + errnoText(errno);
    }
    if (!written) {
        ::unlink(tempName.c_str());
        return fail(why);
    }

    // Make the rename itself durable. The new contents are in place already,
    // so a folder that cannot be synced is not a failed save.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace detail

int removeStaleTemporaries(const std::string& path, std::ostream& log) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::string prefix = temporaryPrefix(target);
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        std::error_code ignored;
        if (entry->is_regular_file(ignored) && fs::remove(entry->path(), ignored)) {
            ++removed;
        }
    }
    if (removed > 0) {
        log << "Removed " << removed << " unfinished save" << (removed == 1 ? "" : "s") << " of " << path
            << " left by an earlier run\n";
    }
    return removed;
}

bool writeFileAtomically(const std::string& path, const std::string& contents, std::string* error) {
    return detail::writeFileAtomicallyWithFailure(path, contents, error, detail::AtomicWriteStep::None);
}

} // namespace tovi
