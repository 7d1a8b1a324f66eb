// The controls' side of the recovery copy: written while edits are unsaved,
// removed when they are saved or dropped, and offered at the next start
// after a crash.
#include "core/controls/Controls.h"

#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/course/OwnCourses.h"
#include "core/input/Input.h"
#include "core/input/NameField.h"
#include "core/system/DataPaths.h"
#include "core/system/FileBytes.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

namespace tovi {

namespace fs = std::filesystem;

void Controls::writeRecovery() {
    edits.recoveryWritten();
    const std::string path = recoveryPathFor(course.trackPath);
    std::string error;
    if (path.empty())
        return;
    if (!makeFolderFor(path, &error) || !writeFileAtomically(path, course.formatLevel(shownName), &error))
        std::cout << "Could not write the recovery copy " << path << ": " << error << std::endl;
}

void Controls::removeRecovery() {
    const std::string path = recoveryPathFor(course.trackPath);
    std::error_code error;
    if (!path.empty())
        fs::remove(path, error);
}

void Controls::offerRecovery() {
    const std::string folder = ownFolder();
    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? "." : folder, error);
    constexpr std::size_t kMostOffered = 20;
    for (; !folder.empty() && !error && it != fs::directory_iterator() && found.size() < kMostOffered;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::string suffix = std::string(".track") + ".recover";
        if (name.size() > suffix.size() && name[0] != '.' &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(folder + name);
    }
    std::sort(found.begin(), found.end());
    offerRecoveryOf(found);
}

void Controls::offerRecoveryOf(std::vector<std::string> paths) {
    if (paths.empty())
        return;
    const std::string path = paths.front();
    paths.erase(paths.begin());
    std::string name = fs::path(path).stem().stem().string();
    std::string text;
    CourseData data;
    std::ostringstream ignored;
    if (readFileBytes(path, kMaxCourseFileBytes, text) == FileRead::Read) {
        parseCourse(text, path, data, ignored);
        if (!data.name.empty())
            name = data.name;
    }
    std::cout << "Found unsaved edits of " << name << " in " << path << std::endl;
    modals.open(std::make_unique<Question>(
        std::vector<std::string>{"Unsaved edits of " + name.substr(0, kMaxCourseName) + " were found.",
                                 "Restore them? Y / N"},
        [this, path, paths](Question::Answer answer) {
            std::error_code error;
            if (answer == Question::Answer::Yes) {
                restoreRecovery(path);
            } else if (answer == Question::Answer::No) {
                fs::remove(path, error);
                offerRecoveryOf(paths);
            }
        }));
}

void Controls::restoreRecovery(const std::string& recoveryPath) {
    const std::string coursePath =
        recoveryPath.substr(0, recoveryPath.size() - std::string(".recover").size());
    const std::string file = fs::path(coursePath).filename().string();
    std::string text;
    if (readFileBytes(recoveryPath, kMaxCourseFileBytes, text) != FileRead::Read) {
        showNotice("Could not read the unsaved edits");
        return;
    }
    CourseData data;
    parseCourse(text, recoveryPath, data, std::cout);
    const bool listed = courses != nullptr && courses->choose(file);
    if (listed) {
        const CoursePaths paths = courses->pathsOf(*courses->chosenCourse());
        switchCourse(paths.read, paths.save);
    }
    const std::string listedName = shownName;
    course.placeRecovered(coursePath, data);
    std::error_code error;
    unnamedNew = !listed && !fs::exists(coursePath, error);
    if (unnamedNew) {
        shownName = data.name.empty() ? kNewCourseName : data.name;
        if (courses != nullptr)
            courses->showUnlisted(shownName);
    } else if (!listed) {
        shownName = data.name.empty() ? fs::path(coursePath).stem().string() : data.name;
    } else if (data.name.empty() || !courses->chosenCourse()->own) {
        shownName = listedName;
    }
    edits.restored(editing.editor.revision());
    raceRevision = editing.editor.revision();
    showNotice("Restored the unsaved edits of " + shownName);
    std::cout << "Restored " << recoveryPath << ": save them with Left Control + S in the editor"
              << std::endl;
}

} // namespace tovi
