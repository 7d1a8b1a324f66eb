// Progress reader on arbitrary text: no crash, only valid entries kept, and
// what was kept reads back the same after a save (the game rewrites the file
// after every finish that improves a best time or medal).
#include "FuzzInput.h"
#include "core/player/Progress.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using zentaro_fuzz::check;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const tovi::ProgressText first = tovi::parseProgress(text);
    check(first.courses.size() <= tovi::kMaxProgressCourses, "more courses than the cap");
    check((first.badLines == 0) == first.firstFault.empty(), "bad lines without a fault, or the reverse");
    for (const auto& [file, entry] : first.courses) {
        check(!file.empty() && file.find('/') == std::string::npos, "a file name that is a path");
        check(entry.best == 0.0 || (std::isfinite(entry.best) && entry.best > 0.0), "a bad best time kept");
        check(entry.medal >= tovi::Medal::None && entry.medal <= tovi::Medal::Author,
              "an unknown medal kept");
    }
    const tovi::ProgressText second = tovi::parseProgress(tovi::formatProgress(first.courses));
    check(second.badLines == 0, "a saved progress file has bad lines");
    check(second.courses.size() == first.courses.size(), "a save changed the number of courses");
    for (const auto& [file, entry] : first.courses) {
        const auto found = second.courses.find(file);
        check(found != second.courses.end(), "a course lost by a save");
        check(found->second.best == entry.best && found->second.medal == entry.medal &&
                  found->second.designedLayout == entry.designedLayout,
              "an entry changed by a save");
    }
    return 0;
}
