#pragma once
#include "core/course/CourseFile.h"
#include "core/course/CourseStore.h"
#include "core/player/CourseMedals.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovi {
class CourseList;
class Editor;
class InputSource;
class LevelFactory;
class MyCollision;
class PhysicsWorld;
struct ControlsContext;
struct Notice;
namespace scene {
class SceneObject;
}

// The course in play: the level's pieces and rings as loaded from the course
// file, its best time and ghost, switching to another course, and saving.
class CourseKeeper {
  public:
    static constexpr const char* kObjectsDir = "Kobuldo/Objects/V2/";

    // Loads the context's course (and its ghost) into the empty level. The
    // editor is reset whenever the level is emptied; save failures go to
    // the notice.
    CourseKeeper(const ControlsContext& context, Editor& editor, Notice& notice);

    // Removes every piece (with its collision body) and ring of the level.
    void clearLevel();
    // Reads the course file and appends its pieces and rings; false when it
    // could not be read.
    bool loadTrack(std::string path);
    // The best time a course shows once loaded (read: whether it could be).
    static double loadedBestTime(bool read, const CourseData& course);
    // Empties the level and loads the course read from readPath in its place,
    // saved from now on to savePath; back on the start screen.
    bool switchCourse(const std::string& readPath, const std::string& savePath);
    // Writes the whole level atomically when it differs from what was last
    // written; false when it could not be written. The saver names the way
    // of saving, which tells its own failures.
    // name: the course's name, kept in the file.
    bool saveTrack(std::string path, CourseStore::Saver saver = CourseStore::Editor,
                   const std::string& name = "");
    // A new, empty course that will be saved to path; no best time yet.
    void startEmpty(const std::string& path);
    // The course of path as its recovery copy holds it, in place of the level.
    void placeRecovered(const std::string& path, const CourseData& course);
    // The level as the course file keeps it.
    void levelContents(std::vector<CoursePiece>& pieces, std::vector<glm::mat4>& ringMatrices) const;
    // The level as a course file with its name, best time, author time and
    // start (what a save writes).
    std::string formatLevel(const std::string& name) const;
    // Whether the loaded course may be saved over.
    bool savingAllowed() const { return courseStore.savingAllowed(); }
    // Where the course's races start (see RaceStart).
    glm::vec3 raceStart() const { return courseStore.start().position; }
    // The course's fingerprint as the level stands (see courseFingerprint).
    std::uint64_t levelFingerprint() const;
    // A won race keeps its best time in the course file (written once, and
    // again only when C changes it) and its run beside it.
    void keepWonRace();
    // A new race; after the editor was open, the ghost learns the course anew.
    void startRace();
    // Enter: a fresh race against the course's best time.
    void startFromEnter();
    // C: no best time until the next win.
    void resetBestTime();
    // The editor may have changed the course since the last race start.
    void markEdited() { levelMayHaveChanged = true; }

    // The course's author time, while the level is the layout it was set on
    // (any change of pieces or rings leaves the course without one).
    std::optional<double> currentAuthorTime() const;
    // Each finish once: its medal, the player's progress, the author time.
    // editMode: the editor is open (a race it was open in does not count).
    void followFinish(bool editMode);
    // Ctrl+S in the editor wrote the course: the player's layout.
    void editorSaved();
    // What the screens show about the course's medals, and the author time
    // the race clock's medal follows (none: no medals on this course).
    MedalScreen medalScreen;
    std::optional<double> raceAuthor;
    // The layout is the player's (or being edited) and has no author time.
    bool awaitingAuthorTime = false;

    double bestTime = 0.0;
    std::string trackPath;
    // The name the course file holds ("" when none).
    std::string savedName;
    std::vector<scene::SceneObject*>* tracks;
    std::vector<scene::SceneObject*>* rings;

  private:
    // Appends the pieces and rings of a course read from path (read: whether
    // it could be); false when it could not.
    bool placeCourse(const std::string& path, bool read, const CourseData& course);
    // The ghost file beside the course, read for the level as loaded; none
    // when the course did not load or there is nowhere to keep it.
    void loadGhost(bool courseLoaded);

    InputSource* window;
    LevelFactory* factory;
    PhysicsWorld* physicsWorld;
    MyCollision* myCollision;
    Editor& editor;
    Notice& notice;
    CourseStore courseStore;
    // The level as the course file holds it, refilled by every save.
    std::vector<CoursePiece> savePieces;
    std::vector<glm::mat4> saveRings;
    bool levelMayHaveChanged = false;

    // The medal figures the screens and the HUD show, brought up to date
    // after a load, a save, a race start and a finish.
    void refreshMedals();
    std::string courseFileName() const;
    CourseList* courses;
    CourseMedals medals;
    unsigned seenFinishes = 0;
    bool editorDuringRace = false;
    // The editor's revision the medal figures were brought up to date at.
    unsigned medalsRevision = 0;
};

} // namespace tovi
