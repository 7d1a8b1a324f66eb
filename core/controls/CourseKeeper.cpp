#include "core/controls/CourseKeeper.h"

#include "core/controls/ControlsContext.h"
#include "core/controls/Notice.h"
#include "core/course/LevelFactory.h"
#include "core/editor/Editor.h"
#include "core/input/Input.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "core/replay/GhostFile.h"
#include "physics/PhysicsWorld.h"

#include <iostream>

namespace tovi {

CourseKeeper::CourseKeeper(const ControlsContext& c, Editor& editor, Notice& notice)
    : trackPath(c.trackPath), tracks(c.tracks), rings(c.rings), window(c.input), factory(c.factory),
      physicsWorld(c.physicsWorld), myCollision(c.myCollision), editor(editor), notice(notice),
      courses(c.courses), medals(c.progress) {
    clearLevel();
    // Saves cut short by a kill leave their temporaries behind; clear them.
    if (!trackPath.empty())
        removeStaleTemporaries(trackPath, std::cout);
    const std::string readPath = c.trackReadPath.empty() ? trackPath : c.trackReadPath;
    const bool loaded = c.startCourse != nullptr ? placeCourse(readPath, c.startCourseRead, *c.startCourse)
                                                 : loadTrack(readPath);
    // The race compares against the course's best time until Enter copies it.
    if (myCollision != nullptr) {
        myCollision->bestTime = bestTime;
        loadGhost(loaded);
    }
}

void CourseKeeper::loadGhost(bool courseLoaded) {
    // The best run's ghost lives beside the course as the game saves it.
    levelMayHaveChanged = false;
    const std::uint64_t fingerprint = levelFingerprint();
    const std::string ghostPath =
        courseLoaded && !trackPath.empty() ? ghostPathFor(trackPath) : std::string();
    if (!ghostPath.empty())
        removeStaleTemporaries(ghostPath, std::cout);
    myCollision->ghost.load(ghostPath, fingerprint, std::cout);
}

void CourseKeeper::clearLevel() {
    // Nothing to select or undo on what goes now.
    editor.reset();
    for (scene::SceneObject* piece : *tracks)
        factory->destroy(piece);
    tracks->clear();
    physicsWorld->removeTrackBodies();
    for (scene::SceneObject* ring : *rings)
        factory->destroy(ring);
    rings->clear();
}

bool CourseKeeper::loadTrack(std::string path) {
    CourseData course;
    const bool read = readCourseFile(path, course, std::cout);
    return placeCourse(path, read, course);
}

double CourseKeeper::loadedBestTime(bool read, const CourseData& course) {
    if (!read)
        return 0.0;
    return course.bestTime != 0.0 ? course.bestTime : MyCollision::kNoBestTime;
}

bool CourseKeeper::placeCourse(const std::string& path, bool read, const CourseData& course) {
    const bool adopted = courseStore.adopt(path, read, course);
    physicsWorld->raceStart = courseStore.start().position;
    if (!adopted)
        return false;
    for (const CourseEntry& entry : course.entries) {
        if (entry.kind == "ring")
            rings->push_back(factory->makeRing(entry.matrix));
        else
            tracks->push_back(factory->makePiece(kObjectsDir + entry.kind, entry.matrix));
    }
    std::cout << course.bestTime << "\n";
    bestTime = loadedBestTime(true, course);
    medals.courseLoaded(courseFileName(), course.authorTime, levelFingerprint());
    refreshMedals();
    savedName = course.name;
    return true;
}

bool CourseKeeper::switchCourse(const std::string& readPath, const std::string& savePath) {
    clearLevel();
    // The race starts afresh on the new course: nothing passed, and no win
    // that would save the old best time into the new course's file.
    myCollision->passedRings.clear();
    myCollision->state = MyCollision::StartScreen;

    trackPath = savePath;
    if (!trackPath.empty())
        removeStaleTemporaries(trackPath, std::cout);
    bestTime = 0.0;
    medals.courseLoaded(courseFileName(), std::nullopt, 0);
    savedName.clear();
    const bool loaded = loadTrack(readPath);
    refreshMedals();
    if (!loaded)
        bestTime = MyCollision::kNoBestTime;
    myCollision->bestTime = bestTime;
    loadGhost(loaded);
    return loaded;
}

void CourseKeeper::levelContents(std::vector<CoursePiece>& pieces,
                                 std::vector<glm::mat4>& ringMatrices) const {
    pieces.clear();
    for (scene::SceneObject* object : *tracks) {
        if (auto* piece = dynamic_cast<scene::TrackBase*>(object))
            pieces.push_back({piece->pieceName, piece->modelMatrix});
    }
    ringMatrices.clear();
    for (scene::SceneObject* ring : *rings)
        ringMatrices.push_back(ring->modelMatrix);
}

std::string CourseKeeper::formatLevel(const std::string& name) const {
    std::vector<CoursePiece> pieces;
    std::vector<glm::mat4> ringMatrices;
    levelContents(pieces, ringMatrices);
    return formatCourse(pieces, ringMatrices, bestTime, name, currentAuthorTime(), courseStore.start());
}

bool CourseKeeper::saveTrack(std::string path, CourseStore::Saver saver, const std::string& name) {
    levelContents(savePieces, saveRings);
    std::string told;
    const bool saved = courseStore.save(path, savePieces, saveRings, bestTime, currentAuthorTime(), saver,
                                        std::cout, &told, name);
    if (!told.empty())
        notice.show(told, window->time());
    return saved;
}

std::uint64_t CourseKeeper::levelFingerprint() const {
    std::vector<CoursePiece> pieces;
    std::vector<glm::mat4> ringMatrices;
    levelContents(pieces, ringMatrices);
    return courseFingerprint(pieces, ringMatrices, courseStore.start());
}

void CourseKeeper::startRace() {
    if (levelMayHaveChanged) {
        levelMayHaveChanged = false;
        myCollision->ghost.setCourse(levelFingerprint());
    }
    myCollision->startRace();
    editorDuringRace = false;
    refreshMedals();
}

void CourseKeeper::keepWonRace() {
    if (myCollision->state != MyCollision::Won)
        return;
    bestTime = myCollision->bestTime;
    // The name the file holds: a new name is the designer's to save.
    saveTrack(trackPath, CourseStore::WonRace, savedName);
    myCollision->ghost.saveNewBest(trackPath.empty() ? trackPath : ghostPathFor(trackPath), std::cout);
}

void CourseKeeper::startEmpty(const std::string& path) {
    clearLevel();
    myCollision->passedRings.clear();
    myCollision->state = MyCollision::StartScreen;
    trackPath = path;
    courseStore.adopt(path, true, CourseData{});
    savedName.clear();
    bestTime = MyCollision::kNoBestTime;
    myCollision->bestTime = bestTime;
    medals.courseLoaded(courseFileName(), std::nullopt, levelFingerprint());
    refreshMedals();
    loadGhost(false);
}

void CourseKeeper::placeRecovered(const std::string& path, const CourseData& course) {
    clearLevel();
    myCollision->passedRings.clear();
    myCollision->state = MyCollision::StartScreen;
    const std::string fileName = savedName;
    trackPath = path; // the medals go by the course's file name
    placeCourse(path, true, course);
    savedName = fileName; // the file itself still holds its old name
    myCollision->bestTime = bestTime;
    levelMayHaveChanged = true;
}

void CourseKeeper::startFromEnter() {
    myCollision->bestTime = bestTime;
    startRace();
}

void CourseKeeper::resetBestTime() {
    myCollision->resetBestTime();
    bestTime = MyCollision::kResetBestTime;
}

} // namespace tovi
