#pragma once
#include "core/course/CourseStore.h"
#include "core/course/LevelFactory.h"
#include "core/editor/CourseCheckRunner.h"
#include "core/editor/Editor.h"
#include "core/input/Gamepad.h"
#include "core/race/Steering.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace tovi {
class CourseList;
class InputSource;
class PhysicsWorld;
class MyCollision;
class Settings;
namespace scene {
class SceneObject;
}

// What the controls work on; scene setup fills it from the process-wide
// references.
struct ControlsContext {
    InputSource* input = nullptr;
    LevelFactory* factory = nullptr;
    std::vector<scene::SceneObject*>* tracks = nullptr;
    std::vector<scene::SceneObject*>* rings = nullptr;
    PhysicsWorld* physicsWorld = nullptr;
    MyCollision* myCollision = nullptr;
    int screenWidth = 1000;
    int screenHeight = 780;
    // Where the course is saved, and where it is read from when that differs
    // (the installed course until the player has saved their own).
    std::string trackPath = "Kobuldo/Tracks/1.track";
    std::string trackReadPath;
    // That course as set-up read it already (for the start screen), and
    // whether it could; null: the controls read it.
    const CourseData* startCourse = nullptr;
    bool startCourseRead = false;
    // The courses Left and Right step through on the start, win and lose
    // screens, and where the last chosen one is remembered; either may be
    // null (then the course above is the only one).
    CourseList* courses = nullptr;
    Settings* settings = nullptr;
};

// Input, camera, display flags, the course file and the level editor.
class Controls {
  public:
    static constexpr const char* kObjectsDir = "Kobuldo/Objects/V2/";

    explicit Controls(const ControlsContext& context);
    virtual ~Controls() = default;

    // Once per frame, first step of the frame update.
    void update();

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
    bool saveTrack(std::string path, CourseStore::Saver saver = CourseStore::Editor);
    // The course's fingerprint as the level stands (see courseFingerprint).
    std::uint64_t levelFingerprint() const;

    // The W/A/S/D push: the ball's velocity turned about y by the angle,
    // normalised, scaled by 0.05, applied at the ball's world position.
    void pushBall(double angle);

    // Puts a short line on the screen (the HUD, and over the full-screen
    // pictures) for kNoticeSeconds; the longer message goes to standard
    // output where it is told.
    void showNotice(const std::string& text);
    static constexpr double kNoticeSeconds = 6.0;
    // The line shown now, empty when there is none.
    std::string notice;

    double bestTime = 0.0;
    bool showFrameRate = false;
    bool particleBlending = true;
    bool wireframe = false;
    bool nearestMagnification = false;
    bool nearestMinification = false;
    bool frustumCulling = false;
    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f};
    InputSource* window;
    std::vector<scene::SceneObject*>* tracks;
    std::vector<scene::SceneObject*>* rings;
    LevelFactory* factory;
    PhysicsWorld* physicsWorld;
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    // Width over height of the framebuffer; the projection follows it.
    float aspect = 4.0f / 3.0f;
    double lastKeyTime = 0.0;
    glm::vec3 position{0.0f};
    float horizontalAngle = 3.14f;
    float verticalAngle = 0.0f;
    float speed = 6.0f;
    float mouseSpeed = 0.001f;
    MyCollision* myCollision;
    bool editMode = false;
    bool showHelp = false; // F1
    Editor editor;

    // What the HUD shows besides the race lines: the editor's state and the
    // course check (bottom left, top line first), and the key help.
    // lines is refilled (its storage kept from frame to frame).
    void statusLines(std::vector<std::string>& lines) const;
    const std::vector<std::string>& helpLines() const;
    // Where the last checked run left the track, when it fell.
    bool showFallMarker = false;
    glm::vec3 fallMarker{0.0f};

    // The window's size in screen coordinates: the cursor is held at its
    // centre. Kept up to date when the window changes size.
    int screenWidth;
    int screenHeight;
    std::string trackPath;
    CourseList* courses;
    Settings* settings;

  private:
    // Appends the pieces and rings of a course read from path (read: whether
    // it could be); false when it could not.
    bool placeCourse(const std::string& path, bool read, const CourseData& course);
    // Left or Right on a screen: the next available course that loads.
    void stepCourse(int direction);
    void editorSteps(float dt, const glm::vec3& direction, const glm::vec3& right,
                     const std::function<bool(int)>& debounced);
    void enterEditMode();
    void leaveEditMode();
    void startCourseCheck();
    void followCourseCheck();
    // The level as the course file keeps it.
    void levelContents(std::vector<CoursePiece>& pieces, std::vector<glm::mat4>& ringMatrices) const;
    // A new race; after the editor was open, the ghost learns the course anew.
    void startRace();
    // The ghost file beside the course, read for the level as loaded; none
    // when the course did not load or there is nowhere to keep it.
    void loadGhost(bool courseLoaded);
    // Enter, or A or Start on a pad: a fresh race from any screen.
    void startFromEnter();

    bool haveFrameClock = false;
    double lastFrameReading = 0.0;
    double noticeShownAt = 0.0;
    CourseCheckRunner courseCheck;
    std::string checkLine; // progress or the last verdict
    // Whether the loaded course may be saved over.
    CourseStore courseStore;
    // The level as the course file holds it, refilled by every save.
    std::vector<CoursePiece> savePieces;
    std::vector<glm::mat4> saveRings;
    // The editor may have changed the course since the last race start.
    bool levelMayHaveChanged = false;
    // Only losing the focus pauses a race, not never having had it.
    bool hadFocus = false;
    // P and V act when pressed, once per press however long it is held, so a
    // slow frame cannot pause and resume in one press.
    bool pauseKeyDown = false;
    bool ghostKeyDown = false;
    GamepadMapper pad;
};

} // namespace tovi
