#pragma once
#include "core/controls/CameraControl.h"
#include "core/controls/ControlsContext.h"
#include "core/controls/CourseCheckControl.h"
#include "core/controls/CourseChoice.h"
#include "core/controls/CourseKeeper.h"
#include "core/controls/DisplayToggles.h"
#include "core/controls/EditorControls.h"
#include "core/controls/Notice.h"
#include "core/controls/RaceKeys.h"
#include "core/course/LevelFactory.h"
#include "core/editor/UnsavedEdits.h"
#include "core/input/KeyPresses.h"
#include "core/input/ModalStack.h"
#include "core/player/KeyBindings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tovi {
class CourseList;
class Settings;

// The controls of a frame: each piece does one thing, and update() runs them
// in the order the frame needs (the first step of the frame update).
//   camera    mouse look, the pad's swing, the follow and the flying camera
//   display   the display keys (F1-F5, F8, F9)
//   check     the course check (F6)
//   editing   edit mode (E), the flying keys, saving and the editor's keys
//   course    the course in play: loading, switching, saving, best time
//   choice    the course chosen on the screens (Left, Right)
//   race      the pause, B, V and the push on the ball
// Above them all, the modals: while a question or field is open it takes
// every key (the game feeds it), and update() only keeps a running race
// paused. The player's own courses (new, named, deleted, saved from the
// editor, the recovery copy and the question before an edit is lost) are
// run here too (ControlsCourses.cpp, ControlsRecovery.cpp).
class Controls {
  public:
    static constexpr const char* kObjectsDir = CourseKeeper::kObjectsDir;
    // What a new course is called until it is named.
    static constexpr const char* kNewCourseName = "New course";

    explicit Controls(const ControlsContext& context);
    virtual ~Controls() = default;

    // Once per frame, first step of the frame update.
    void update();
    // The window was minimised or hidden (no frames come meanwhile): a
    // running race stands paused as when the focus goes, and the time away
    // counts for nothing in the next frame.
    void windowHidden();

    // Another course in place of this one (see CourseKeeper::switchCourse);
    // a running course check has nothing to say about it and stops.
    bool switchCourse(const std::string& readPath, const std::string& savePath);

    // What the HUD shows besides the race lines: the editor's state and the
    // course check (bottom left, top line first), and the key help.
    // lines is refilled (its storage kept from frame to frame).
    void statusLines(std::vector<std::string>& lines) const;
    // The innermost modal's lines for the game's text (empty: none, or one
    // that draws itself).
    void modalLines(std::vector<std::string>& lines) const;

    // The key bound to the action now (-1: none).
    int keyOf(Action action) const { return keys->key(action); }

    // Escape with no modal open, or the window's close button: quits at
    // once, or first asks about unsaved edits. True once the game may end.
    bool requestQuit();
    // Escape with no modal open: back to the editor from a run tested from
    // a piece (F7), else requestQuit.
    bool escape();
    // The piece number a practice run (F7) started from, 0 when none runs.
    int testingFromPiece() const { return testingFrom; }
    bool quitting() const { return quitNow; }
    // The course on screen: its name (the list's name for a shipped course)
    // and whether it has edits its file lacks.
    const std::string& courseName() const { return shownName; }
    bool unsavedEdits() const { return edits.dirty(); }
    // Left Control + S in the editor: writes the course as it is on screen,
    // with its name, making a new course's file on its first save. False
    // (said on the HUD) when it could not.
    bool saveCourse();
    // Insert on a screen: a new, empty course in the editor, after asking
    // about unsaved edits.
    void newCourse();
    // L in the editor: the name field.
    void openNameField();
    // Delete on a screen: deletes the chosen own course (or resets a
    // shipped one to the game's copy) after a question.
    void askDeleteCourse();
    // At start: recovery copies of unsaved edits left by a crash, offered
    // one after another.
    void offerRecovery();

  private:
    // The context's modal stack, or one of the controls' own without it.
    std::unique_ptr<ModalStack> ownModals;

  public:
    ModalStack& modals;
    Notice notice;
    CameraControl camera;
    DisplayToggles display;
    CourseCheckControl check;
    EditorControls editing;
    CourseKeeper course;
    CourseChoice choice;
    RaceKeys race;

  private:
    KeyPresses presses;
    // Enter, or A or Start on a pad: a fresh race from any screen.
    void startFromEnter();
    // N, E: a new race, a practice run while edits are unsaved.
    void startRace();
    // The race just started counts only on the course as its file holds it.
    void markPractice();
    // F7 in the editor: a practice run from the selected piece's entry; F7,
    // Escape or the editor's key: back to the editor at its camera.
    void testFromHere();
    void backToEditor();
    // Goes on with go() once the course's unsaved edits were saved or
    // dropped (or at once when there are none).
    void leaveThen(const std::function<void()>& go);
    // The level may be raced: an own course needs a piece and a ring (else
    // it says so on the HUD).
    bool raceable();
    // Once a frame: edits made since, the race they make a practice run,
    // the recovery copy when due.
    void followEdits(double now);
    void writeRecovery();
    void removeRecovery();
    // The course loaded or saved: it is its file from now on.
    void courseIsClean();
    // A course was loaded: its name as shown, nothing unsaved.
    void courseLoaded();
    // The folder of the player's own courses.
    std::string ownFolder() const;
    void restoreRecovery(const std::string& recoveryPath);
    // Asks about the first recovery copy, then (on N) the next.
    void offerRecoveryOf(std::vector<std::string> paths);
    void deleteChosenCourse(bool own);
    void makeNewCourse();
    // A modal is open: the race stands paused and the cursor free until the
    // last one closes.
    bool followModals();
    void showNotice(const std::string& text);
    // The screens' and the editor's keys for the own courses.
    void courseKeys(bool onScreen, const std::function<bool(int)>& pressed);

    const KeyBindings* keys;
    InputSource* window;
    MyCollision* myCollision;
    PhysicsWorld* physicsWorld;
    bool haveFrameClock = false;
    double lastFrameReading = 0.0;
    // Only losing the focus pauses a race, not never having had it.
    bool hadFocus = false;
    bool lookedLastFrame = true;

    CourseList* courses;
    Settings* settings;
    UnsavedEdits edits;
    std::string shownName;   // the course's name as shown
    bool unnamedNew = false; // a new course without a file yet
    bool quitNow = false;
    bool pausedForModal = false;
    bool modalWasOpen = false;
    unsigned raceRevision = 0; // the editor's revision when the race started
    struct EditorCamera {
        glm::vec3 position{0.0f};
        float horizontalAngle = 0.0f;
        float verticalAngle = 0.0f;
        bool cursorFree = false;
    };
    EditorCamera editorCamera; // where the editor was when F7 tested from a piece
    int testingFrom = 0;
    std::string lastEditorMessage;
};

} // namespace tovi
