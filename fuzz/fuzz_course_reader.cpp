// Course reader on arbitrary text: no crash, only usable entries kept, and
// whatever was read survives a save and a second read (the game writes the
// file back every time a race is won, so a course must not decay or grow).
#include "FuzzInput.h"
#include "core/course/CourseFile.h"
#include "core/course/Medals.h"

#include <cfloat>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

using zentaro_fuzz::check;

bool isKind(const std::string& kind) {
    return kind == "ramp" || kind == "straight" || kind == "left" || kind == "right" || kind == "ring";
}

bool allFinite(const glm::mat4& m) {
    const float* values = &m[0][0];
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(values[i]))
            return false;
    }
    return true;
}

// Written with 6 significant digits and read back into a float.
bool closeAfterSave(double written, double read) {
    return std::fabs(written - read) <= 1e-5 * std::fabs(written) + FLT_TRUE_MIN;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Whatever the caller held before is replaced, not added to.
    tovi::CourseData first;
    first.entries.push_back({"stale", glm::mat4(2.0f)});
    first.bestTime = -1.0;
    std::ostringstream firstLog;
    tovi::parseCourse(text, "fuzz.track", first, firstLog);

    check(std::isfinite(first.bestTime), "non-finite best time kept");
    check(!first.authorTime || tovi::validAuthorTime(*first.authorTime), "invalid author time kept");
    std::vector<tovi::CoursePiece> pieces;
    std::vector<glm::mat4> rings;
    for (const tovi::CourseEntry& entry : first.entries) {
        check(isKind(entry.kind), "entry of an unknown kind");
        check(allFinite(entry.matrix), "entry with a non-finite number kept");
        if (entry.kind == "ring")
            rings.push_back(entry.matrix);
        else
            pieces.push_back({entry.kind, entry.matrix});
    }

    // Save and read again: pieces first, then rings, same kinds in the same
    // order, values equal to 6 significant digits, nothing skipped.
    const std::string saved = tovi::formatCourse(pieces, rings, first.bestTime, first.name, first.authorTime);
    tovi::CourseData second;
    std::ostringstream secondLog;
    tovi::parseCourse(saved, "saved.track", second, secondLog);
    check(secondLog.str().empty(), "saved course has entries the reader skips");
    check(second.entries.size() == first.entries.size(), "saved course read back with another entry count");
    check(closeAfterSave(first.bestTime, second.bestTime), "best time changed by a save");
    check(first.authorTime == second.authorTime, "author time changed by a save");
    for (std::size_t i = 0; i < second.entries.size(); ++i) {
        const bool isPiece = i < pieces.size();
        const std::string& kind = isPiece ? pieces[i].name : std::string("ring");
        const glm::mat4& before = isPiece ? pieces[i].matrix : rings[i - pieces.size()];
        check(second.entries[i].kind == kind, "entry kind changed by a save");
        check(allFinite(second.entries[i].matrix), "save produced a non-finite number");
        for (int c = 0; c < 16; ++c) {
            check(closeAfterSave((&before[0][0])[c], (&second.entries[i].matrix[0][0])[c]),
                  "matrix value changed by a save");
        }
    }
    return 0;
}
