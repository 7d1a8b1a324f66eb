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
#include "core/input/KeyPresses.h"
#include "core/player/KeyBindings.h"

#include <string>
#include <vector>

namespace tovi {

// The controls of a frame: each piece does one thing, and update() runs them
// in the order the frame needs (the first step of the frame update).
//   camera    mouse look, the pad's swing, the follow and the flying camera
//   display   the display keys (F1-F5, F8, F9)
//   check     the course check (F6)
//   editing   edit mode (E), the flying keys, saving and the editor's keys
//   course    the course in play: loading, switching, saving, best time
//   choice    the course chosen on the screens (Left, Right)
//   race      the pause, B, V and the push on the ball
class Controls {
  public:
    static constexpr const char* kObjectsDir = CourseKeeper::kObjectsDir;

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

    // The key bound to the action now (-1: none).
    int keyOf(Action action) const { return keys->key(action); }

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

    const KeyBindings* keys;
    InputSource* window;
    MyCollision* myCollision;
    PhysicsWorld* physicsWorld;
    bool haveFrameClock = false;
    double lastFrameReading = 0.0;
    // Only losing the focus pauses a race, not never having had it.
    bool hadFocus = false;
    bool lookedLastFrame = true;
};

} // namespace tovi
