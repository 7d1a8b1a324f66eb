#include "core/controls/EditorControls.h"

#include "core/controls/CameraControl.h"
#include "core/controls/CourseKeeper.h"
#include "core/input/Input.h"
#include "core/input/KeyPresses.h"
#include "core/input/Keys.h"

#include <cmath>

namespace tovi {

void EditorControls::enter() {
    editMode = true;
    camera.startFlying();
}

void EditorControls::leave() {
    if (cursorFree)
        toggleCursor();
    editMode = false;
    editor.leave();
    camera.startFollowing();
}

void EditorControls::toggleCursor() {
    cursorFree = !cursorFree;
    window->showCursor(cursorFree);
    if (!cursorFree) {
        editor.endDrag();
        dragArmed = leftDown = false;
        camera.holdCursor();
    }
}

bool EditorControls::mouseLooks() const {
    return !editMode || !cursorFree || window->mouseButton(1);
}

Ray EditorControls::rayUnderCursor() const {
    double x = 0.0, y = 0.0;
    window->cursorPos(x, y);
    return cursorRay(camera.view, camera.projection, glm::vec2(x, y),
                     glm::vec2(camera.screenWidth, camera.screenHeight));
}

void EditorControls::mouse() {
    const bool down = cursorFree && window->mouseButton(0);
    const bool control = window->keyPressed(key::LeftControl);
    double x = 0.0, y = 0.0;
    window->cursorPos(x, y);
    if (down && !leftDown) {
        pressX = x;
        pressY = y;
        const Ray ray = rayUnderCursor();
        dragMoved = false;
        dragArmed = !control && editor.beginDrag(ray);
        if (!dragArmed)
            editor.click(pickObject(ray, *editor.levelInUse().physics, editor.pieceCount(),
                                    *editor.levelInUse().rings),
                         control);
    } else if (down && dragArmed) {
        // A drag starts once the cursor has moved a few pixels.
        dragMoved = dragMoved || std::abs(x - pressX) + std::abs(y - pressY) > 4.0;
        if (dragMoved)
            editor.dragTo(rayUnderCursor(), window->keyPressed(key::LeftAlt));
    } else if (!down && leftDown && dragArmed) {
        editor.endDrag();
        dragArmed = false;
        // A plain click on one of several selected selects it alone.
        if (!dragMoved) {
            const Ray ray = rayUnderCursor();
            editor.click(pickObject(ray, *editor.levelInUse().physics, editor.pieceCount(),
                                    *editor.levelInUse().rings),
                         false);
        }
    }
    leftDown = down;
}

void EditorControls::frame(float dt, const CameraAxes& axes, KeyPresses& presses) {
    // The fly keys rest while a drag is on (Left Shift would sink the camera).
    if (!editor.dragging())
        camera.fly(dt, axes);
    if (presses.pressed(key::Tab))
        toggleCursor();
    mouse();

    // Copy and paste, once per press.
    const bool control = window->keyPressed(key::LeftControl);
    if (presses.pressed(key::C) && control)
        editor.copySelection();
    if (presses.pressed(key::V) && control)
        editor.paste(camera.position, axes.direction);

    editor.frame(*window, dt, camera.position, presses);

    // Saving, after the editor's frame so a gesture it just closed (one undo
    // step) is part of what is saved, not an unsaved edit after it. The
    // wobble is drawn only, so what is saved is where the designer put things.
    if (window->keyPressed(key::S) && window->keyPressed(key::LeftControl) && save)
        save();
}

} // namespace tovi
