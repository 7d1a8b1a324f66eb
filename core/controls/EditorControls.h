#pragma once
#include "core/editor/Editor.h"
#include "core/view/Camera.h"

#include <functional>

namespace tovi {
class CameraControl;
class CourseKeeper;
class InputSource;
class KeyPresses;

// Edit mode: entering and leaving it, and each frame in it the flying
// camera's keys, saving (Left Control+S) and the editor's own keys.
class EditorControls {
  public:
    EditorControls(InputSource* input, const EditorLevel& level, CameraControl& camera, CourseKeeper& course)
        : editor(level), window(input), camera(camera), course(course) {}

    void enter();
    void leave();
    // One frame in edit mode; axes: the camera's after this frame's turns.
    void frame(float dt, const CameraAxes& axes, KeyPresses& presses);

    // Tab in edit mode: the cursor free for clicking and dragging (the
    // right button held looks around), or held for mouse look.
    void toggleCursor();
    // Whether the mouse looks around this frame.
    bool mouseLooks() const;

    bool editMode = false;
    bool cursorFree = false;
    // Left Control + S: writes the course as it is on screen.
    std::function<bool()> save;
    Editor editor;

  private:
    // The left button in cursor mode: click, Left Control+click, drag.
    void mouse();
    Ray rayUnderCursor() const;

    bool leftDown = false;
    bool dragArmed = false; // pressed on a selected object
    bool dragMoved = false; // and moved since
    double pressX = 0.0, pressY = 0.0;
    InputSource* window;
    CameraControl& camera;
    CourseKeeper& course;
};

} // namespace tovi
