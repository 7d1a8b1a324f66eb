// The controls' side of a course as a file of its own: a new course, its
// name, deleting it, saving it from the editor, its recovery copy, and the
// question before anything would lose an edit.
#include "core/controls/Controls.h"

#include "core/input/Input.h"

#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/course/CourseNames.h"
#include "core/course/OwnCourses.h"
#include "core/input/NameField.h"
#include "core/mesh/SceneObject.h"
#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "core/replay/GhostFile.h"
#include "core/system/DataPaths.h"
#include "core/system/FileBytes.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace tovi {

namespace fs = std::filesystem;

namespace {
// Where the race starts: a new course is seen from above and behind it.
const glm::vec3 kRaceStart(-0.88f, 65.8f, 21.2f);
const glm::vec3 kNewCourseEye = kRaceStart + glm::vec3(7.0f, 5.0f, 0.0f);

bool folderWritable(const std::string& folder, std::string& why) {
    if (folder.empty()) {
        why = "there is no folder for the player's files";
        return false;
    }
    if (!makeFolderFor(folder + "x", &why))
        return false;
    if (::access(folder.c_str(), W_OK) != 0) {
        why = folder + " cannot be written";
        return false;
    }
    return true;
}

// A question on screen, told on standard output too.
std::unique_ptr<Question> question(std::vector<std::string> lines,
                                   std::function<void(Question::Answer)> then) {
    std::cout << "Asked: " << lines.front() << std::endl;
    return std::make_unique<Question>(std::move(lines), std::move(then));
}
} // namespace

std::string Controls::ownFolder() const {
    if (courses != nullptr && !courses->ownFolder().empty())
        return courses->ownFolder();
    if (course.trackPath.empty())
        return "";
    const std::string folder = fs::path(course.trackPath).parent_path().string();
    return folder.empty() ? "" : folder + "/";
}

void Controls::showNotice(const std::string& text) {
    notice.show(text, window->time());
}

void Controls::courseLoaded() {
    const CourseListEntry* listed = courses != nullptr ? courses->chosenCourse() : nullptr;
    if (listed != nullptr && (!listed->own || course.savedName.empty()))
        shownName = listed->name;
    else
        shownName = course.savedName.empty() ? fs::path(course.trackPath).stem().string() : course.savedName;
    courseIsClean();
}

void Controls::modalLines(std::vector<std::string>& lines) const {
    lines.clear();
    if (const Modal* modal = modals.innermost())
        modal->lines(lines);
}

bool Controls::followModals() {
    if (modals.empty()) {
        if (pausedForModal) {
            pausedForModal = false;
            myCollision->resume();
        }
        // The cursor goes back to what the editor had (hidden for mouse look).
        if (modalWasOpen && editing.editMode && !editing.cursorFree)
            window->showCursor(false);
        return false;
    }
    if (!modalWasOpen)
        window->showCursor(true);
    modalWasOpen = true;
    if (myCollision->state == MyCollision::Racing && !myCollision->paused()) {
        myCollision->pause();
        pausedForModal = true;
    }
    return true;
}

void Controls::courseIsClean() {
    edits.clean(editing.editor.revision());
    raceRevision = editing.editor.revision();
    unnamedNew = false;
}

void Controls::followEdits(double now) {
    const unsigned revision = editing.editor.revision();
    if (revision != raceRevision) {
        raceRevision = revision;
        if (myCollision->state == MyCollision::Racing)
            myCollision->practice = true;
    }
    edits.follow(revision, now);
    if (edits.recoveryDue(now))
        writeRecovery();
    if (editing.editor.message != lastEditorMessage) {
        lastEditorMessage = editing.editor.message;
        if (!lastEditorMessage.empty())
            std::cout << "Editor: " << lastEditorMessage << std::endl;
    }
}

bool Controls::raceable() {
    // The shipped courses keep racing as they are (an empty level included,
    // when no course can be read); the player's own need a piece and a ring.
    const CourseListEntry* listed = courses != nullptr ? courses->chosenCourse() : nullptr;
    const bool own = unnamedNew || (listed != nullptr && listed->own);
    if (!own || (!course.tracks->empty() && !course.rings->empty()))
        return true;
    showNotice(course.tracks->empty() ? "Place a piece to race" : "Place a ring to race");
    std::cout << "This course cannot be raced yet: it needs a piece and a ring" << std::endl;
    return false;
}

bool Controls::saveCourse() {
    // A shipped course keeps the name courses.txt gives it, not in its file.
    const CourseListEntry* listed = courses != nullptr ? courses->chosenCourse() : nullptr;
    const bool shipped = !unnamedNew && listed != nullptr && !listed->own;
    const std::string name = shipped ? course.savedName : shownName;
    const bool saved = course.saveTrack(course.trackPath, CourseStore::Editor, name);
    if (!saved) {
        editing.editor.say(!course.savingAllowed() ? "saving is off: the course file was not loaded whole"
                                                   : "could not save the course (see the console)");
        return false;
    }
    if (edits.dirty() || unnamedNew)
        std::cout << "Saved " << course.trackPath << std::endl;
    const bool wasNew = unnamedNew;
    course.savedName = name;
    course.editorSaved();
    removeRecovery();
    courseIsClean();
    if (wasNew && courses != nullptr) {
        const std::string file = fs::path(course.trackPath).filename().string();
        courses->addOwn(file, shownName);
        if (settings != nullptr && !settings->path().empty()) {
            settings->set("course", file);
            settings->save(std::cout);
        }
    }
    editing.editor.say("saved");
    return true;
}

void Controls::leaveThen(const std::function<void()>& go) {
    const bool went = leaveCourse(
        modals, edits.dirty(), shownName, [this] { return saveCourse(); },
        [this] {
            removeRecovery();
            courseIsClean();
        },
        go);
    if (!went)
        std::cout << "Asked: Save changes to " << shownName << "?" << std::endl;
}

bool Controls::requestQuit() {
    // Nothing unsaved: the game ends, whatever is open. Otherwise asked over
    // the options or the name field; a question already open answers first.
    if (!edits.dirty())
        quitNow = true;
    else if (dynamic_cast<const Question*>(modals.innermost()) == nullptr)
        leaveThen([this] { quitNow = true; });
    return quitNow;
}

void Controls::newCourse() {
    std::string why;
    if (!folderWritable(ownFolder(), why)) {
        showNotice("Cannot make a course here");
        std::cout << "Cannot make a new course: " << why << std::endl;
        return;
    }
    leaveThen([this] { makeNewCourse(); });
}

void Controls::makeNewCourse() {
    const std::string folder = ownFolder();
    const std::string file = ownCourseFileName(kNewCourseName, [&](const std::string& name) {
        std::error_code error;
        return (courses != nullptr && courses->lists(name)) || fs::exists(folder + name, error) ||
               fs::exists(recoveryPathFor(folder + name), error);
    });
    if (file.empty()) {
        showNotice("Cannot make a course here");
        return;
    }
    check.forget();
    course.startEmpty(folder + file);
    courseIsClean();
    unnamedNew = true;
    shownName = kNewCourseName;
    if (courses != nullptr)
        courses->showUnlisted(shownName);
    std::cout << "New course: editing " << course.trackPath << std::endl;
    if (editing.editMode)
        editing.leave();
    camera.eye = kNewCourseEye;
    camera.target = kRaceStart;
    editing.enter();
}

void Controls::openNameField() {
    const CourseListEntry* listed = courses != nullptr ? courses->chosenCourse() : nullptr;
    if (!unnamedNew && listed != nullptr && !listed->own) {
        showNotice("Shipped courses keep their names");
        return;
    }
    std::cout << "Course name: editing" << std::endl;
    // A new course starts with an empty field; a named one with its name.
    modals.open(std::make_unique<NameField>(unnamedNew ? "" : shownName, [this](const std::string& name) {
        if (name == shownName)
            return;
        shownName = name;
        edits.renamed(window->time());
        if (courses != nullptr && unnamedNew)
            courses->showUnlisted(name);
        else if (courses != nullptr)
            courses->renameChosen(name);
        // A course not saved yet takes its file name from its name.
        if (unnamedNew) {
            removeRecovery();
            const std::string folder = ownFolder();
            const std::string file = ownCourseFileName(name, [&](const std::string& candidate) {
                std::error_code error;
                return (courses != nullptr && courses->lists(candidate)) ||
                       fs::exists(folder + candidate, error);
            });
            if (!file.empty())
                course.trackPath = folder + file;
        }
        std::cout << "Course named " << name << std::endl;
        editing.editor.say("named " + name);
    }));
}

void Controls::askDeleteCourse() {
    const CourseListEntry* chosen = courses != nullptr ? courses->chosenCourse() : nullptr;
    if (chosen == nullptr || unnamedNew)
        return;
    const CoursePaths paths = courses->pathsOf(*chosen);
    if (chosen->own) {
        modals.open(question({"Delete " + chosen->name + "?", "Y / N"}, [this](Question::Answer answer) {
            if (answer == Question::Answer::Yes)
                deleteChosenCourse(true);
        }));
        return;
    }
    std::error_code error;
    if (paths.save.empty() || paths.save == chosen->path || !fs::exists(paths.save, error)) {
        showNotice(paths.save == chosen->path ? "No separate original to reset to"
                                              : "Already the shipped course");
        std::cout << "Course " << chosen->name << " has no saved copy to reset" << std::endl;
        return;
    }
    modals.open(
        question({"Reset " + chosen->name + " to the shipped course?", "Y / N"}, [this](Question::Answer a) {
            if (a == Question::Answer::Yes)
                deleteChosenCourse(false);
        }));
}

void Controls::deleteChosenCourse(bool own) {
    const CourseListEntry* chosen = courses->chosenCourse();
    if (chosen == nullptr)
        return;
    const std::string path = courses->pathsOf(*chosen).save;
    const std::string name = chosen->name;
    std::error_code error;
    for (const std::string& file : {path, ghostPathFor(path), recoveryPathFor(path)})
        fs::remove(file, error);
    if (fs::exists(path, error)) {
        showNotice("Could not delete the course");
        std::cout << "Could not delete " << path << std::endl;
        return;
    }
    std::cout << (own ? "Deleted " : "Reset ") << path << std::endl;
    if (own)
        courses->removeChosen();
    // Whatever was unsaved belonged to the course that went.
    edits.clean(editing.editor.revision());
    const CourseListEntry* next = courses->chosenCourse();
    if (next != nullptr) {
        const CoursePaths paths = courses->pathsOf(*next);
        switchCourse(paths.read, paths.save);
    }
    showNotice(own ? "Deleted " + name : "Reset " + name);
}

} // namespace tovi
