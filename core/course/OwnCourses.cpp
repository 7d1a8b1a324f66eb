#include "core/course/OwnCourses.h"

#include "core/course/CourseFile.h"
#include "core/input/NameField.h"
#include "core/system/FileBytes.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace tovi {

namespace {

constexpr const char* kExtension = ".track";

bool isText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return c == '\n' || c == '\r' || c == '\t' || (c >= 0x20 && c != 0x7f);
    });
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

bool listedBefore(const OwnCourse& a, const OwnCourse& b) {
    const std::string left = lowered(a.name);
    const std::string right = lowered(b.name);
    return left != right ? left < right : a.file < b.file;
}

bool ownCourseReadable(const std::string& text, const std::string& path, std::ostream& log,
                       std::string* name) {
    if (!isText(text)) {
        log << path << " is not a course file (not text)\n";
        return false;
    }
    CourseData course;
    std::ostringstream said;
    parseCourse(text, path, course, said);
    if (course.entries.empty() || course.truncated || course.skipped > 0) {
        log << path << " cannot be raced: "
            << (course.entries.empty() ? "it holds no piece or ring\n" : "it was not read whole\n");
        return false;
    }
    if (name != nullptr)
        *name = course.name;
    return true;
}

std::vector<OwnCourse> findOwnCourses(const std::string& folder, const std::vector<std::string>& shipped,
                                      std::ostream& log) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? "." : folder, error);
    std::size_t passedOver = 0;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string file = it->path().filename().string();
        const std::size_t extension = file.size() - std::min(file.size(), std::string(kExtension).size());
        if (file.size() <= 6 || file.compare(extension, std::string::npos, kExtension) != 0 ||
            file[0] == '.' || std::find(shipped.begin(), shipped.end(), file) != shipped.end())
            continue;
        if (files.size() < kMaxOwnCourses)
            files.push_back(file);
        else
            ++passedOver;
    }
    if (passedOver > 0)
        log << "Passing over " << passedOver << " more course files in " << folder << ": at most "
            << kMaxOwnCourses << " own courses are listed\n";

    std::vector<OwnCourse> courses;
    for (const std::string& file : files) {
        OwnCourse course;
        course.file = file;
        const std::string path = folder + file;
        std::string text;
        const FileRead read = readFileBytes(path, kMaxCourseFileBytes, text);
        if (read == FileRead::Read)
            course.readable = ownCourseReadable(text, path, log, &course.name);
        else
            log << path << (read == FileRead::TooLarge ? " is too large for a course" : " cannot be read")
                << "; passing it over\n";
        if (course.name.empty()) {
            course.name =
                file.substr(0, std::min(file.size() - std::string(kExtension).size(), kMaxCourseName));
            for (char& c : course.name)
                if (c < 0x20 || c > 0x7e)
                    c = '?';
        }
        courses.push_back(course);
    }
    std::sort(courses.begin(), courses.end(), listedBefore);
    return courses;
}

} // namespace tovi
