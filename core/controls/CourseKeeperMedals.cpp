// The course keeper's side of the medals: each finish once, the figures the
// screens and the HUD show, and noticing an edit that takes the author time
// away.
#include "core/controls/CourseKeeper.h"
#include "core/editor/Editor.h"

#include "core/course/CourseList.h"
#include "core/race/MyCollision.h"

#include <filesystem>
#include <iostream>

namespace tovi {

std::string CourseKeeper::courseFileName() const {
    return std::filesystem::path(trackPath).filename().string();
}

std::optional<double> CourseKeeper::currentAuthorTime() const {
    return medals.author(levelFingerprint());
}

void CourseKeeper::refreshMedals() {
    const std::uint64_t layout = levelFingerprint();
    std::vector<std::string> listed;
    if (courses != nullptr)
        for (const CourseListEntry& course : courses->courses())
            listed.push_back(course.file);
    else
        listed.push_back(courseFileName());
    medalScreen = medals.screen(layout, listed);
    raceAuthor = medalScreen.author;
    awaitingAuthorTime = !raceAuthor && medals.designedByPlayer(layout);
    medalsRevision = editor.revision();
}

void CourseKeeper::editorSaved() {
    medals.editorSaved(levelFingerprint(), std::cout);
    refreshMedals();
}

void CourseKeeper::followFinish(bool editMode) {
    if (myCollision == nullptr)
        return;
    if (myCollision->state == MyCollision::Racing && editMode)
        editorDuringRace = true;
    // An edit in the editor may take the author time away (or an undo bring
    // it back): look again when the level changed.
    if (editMode && editor.revision() != medalsRevision) {
        refreshMedals();
        awaitingAuthorTime = awaitingAuthorTime || !raceAuthor;
    }
    if (myCollision->finishes == seenFinishes)
        return;
    seenFinishes = myCollision->finishes;
    // A practice run (an edit in it, or edits unsaved when it began) never
    // counts, nor does a race the editor was open in.
    const bool counted = !editorDuringRace && !myCollision->practice;
    const CourseMedals::Finish finish =
        medals.finished(myCollision->finishTime, counted, levelFingerprint(), std::cout);
    refreshMedals();
    // A won race saves next; a lost one that set the author time saves here.
    if (finish.authorSet && myCollision->state != MyCollision::Won)
        saveTrack(trackPath, CourseStore::WonRace, savedName);
}

} // namespace tovi
