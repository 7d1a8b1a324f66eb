// Reads a course file with the game's own reader and says what it holds:
//
//   course_check FILE [--pieces N] [--rings N] [--complete]
//
// prints "pieces P rings R besttime B", then the author time and the medal
// times ("author 21.02 s, gold 23 s, silver 26 s, bronze 32 s" or "author
// none"), and exits 0 when the file could be
// read, every entry was usable, the best time is a positive finite number and
// the counts match the ones asked for. --complete also demands the file be
// exactly what the game writes for that level (header, one line per entry,
// the best time last), which a half-written file never is.
#include "core/course/CourseFile.h"
#include "core/course/Medals.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: course_check FILE [--pieces N] [--rings N] [--complete]\n";
    return 2;
}

bool readCount(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out >= 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    const std::string path = argv[1];
    long wantPieces = -1;
    long wantRings = -1;
    bool complete = false;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--complete") {
            complete = true;
        } else if ((option == "--pieces" || option == "--rings") && i + 1 < argc) {
            if (!readCount(argv[++i], option == "--pieces" ? wantPieces : wantRings))
                return usage();
        } else {
            return usage();
        }
    }

    tovi::CourseData course;
    std::ostringstream log;
    const bool opened = tovi::readCourseFile(path, course, log);
    std::vector<tovi::CoursePiece> pieces;
    std::vector<glm::mat4> rings;
    for (const tovi::CourseEntry& entry : course.entries) {
        if (entry.kind == "ring")
            rings.push_back(entry.matrix);
        else
            pieces.push_back({entry.kind, entry.matrix});
    }
    std::cout << "pieces " << pieces.size() << " rings " << rings.size() << " besttime " << course.bestTime
              << "\n";
    std::cout << tovi::medalTimesLine(course.authorTime) << "\n";

    int status = 0;
    auto trouble = [&status](const std::string& what) {
        std::cout << "trouble: " << what << "\n";
        status = 1;
    };
    if (!opened)
        trouble("cannot read " + path);
    if (!log.str().empty() && opened)
        trouble("the reader complained: " + log.str());
    if (!(std::isfinite(course.bestTime) && course.bestTime > 0.0))
        trouble("no valid best time");
    if (wantPieces >= 0 && static_cast<long>(pieces.size()) != wantPieces)
        trouble("expected " + std::to_string(wantPieces) + " pieces");
    if (wantRings >= 0 && static_cast<long>(rings.size()) != wantRings)
        trouble("expected " + std::to_string(wantRings) + " rings");
    if (complete && opened) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (text.str() !=
            tovi::formatCourse(pieces, rings, course.bestTime, course.name, course.authorTime, course.start))
            trouble("the file is not a complete course as the game writes it");
    }
    return status;
}
