#pragma once
#include "core/editor/Editor.h"
#include "core/view/Camera.h"

#include <functional>

namespace tovi {
class CameraControl;
class CourseKeeper;
class InputSource;

// Edit mode: entering and leaving it, and each frame in it the flying
// camera's keys, saving (Left Control+S) and the editor's own keys.
class EditorControls {
  public:
    EditorControls(InputSource* input, const EditorLevel& level, CameraControl& camera, CourseKeeper& course)
        : editor(level), window(input), camera(camera), course(course) {}

    void enter();
    void leave();
    // One frame in edit mode; axes: the camera's after this frame's turns.
    void frame(float dt, const CameraAxes& axes, const std::function<bool(int)>& debounced);

    bool editMode = false;
    Editor editor;

  private:
    InputSource* window;
    CameraControl& camera;
    CourseKeeper& course;
};

} // namespace tovi
