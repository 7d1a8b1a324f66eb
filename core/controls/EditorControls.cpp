#include "core/controls/EditorControls.h"

#include "core/controls/CameraControl.h"
#include "core/controls/CourseKeeper.h"
#include "core/input/Input.h"
#include "core/input/Keys.h"

namespace tovi {

void EditorControls::enter() {
    editMode = true;
    camera.startFlying();
}

void EditorControls::leave() {
    editMode = false;
    editor.leave();
    camera.startFollowing();
}

void EditorControls::frame(float dt, const CameraAxes& axes, const std::function<bool(int)>& debounced) {
    camera.fly(dt, axes);

    // Saving. The wobble is drawn only, so what is saved is where the
    // designer put things.
    if (window->keyPressed(key::S) && window->keyPressed(key::LeftControl)) {
        if (course.saveTrack(course.trackPath, CourseStore::Editor)) {
            editor.say("saved");
            course.editorSaved();
        } else if (!course.savingAllowed())
            editor.say("saving is off: the course file was not loaded whole");
        else
            editor.say("could not save the course (see the console)");
    }

    editor.frame(*window, dt, camera.position, debounced);
}

} // namespace tovi
