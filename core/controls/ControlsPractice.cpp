// F7 in the editor: a practice run from the selected piece, and back to the
// editor where its camera was (F7 again, Escape or the editor's key).
#include "core/controls/Controls.h"

#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <iostream>

namespace tovi {

void Controls::testFromHere() {
    Editor& editor = editing.editor;
    const auto* piece = editor.ringSelected || editor.noneSelected
                            ? nullptr
                            : dynamic_cast<const scene::TrackBase*>(editor.selected());
    glm::vec3 at(0.0f), moving(0.0f);
    if (piece == nullptr || !practiceStart(piece->pieceName, piece->modelMatrix, at, moving)) {
        editor.say("test from here: select a piece of the course first");
        return;
    }
    if (!raceable())
        return;
    const int number = editor.selectedNumber();
    editorCamera =
        EditorCamera{camera.position, camera.horizontalAngle, camera.verticalAngle, editing.cursorFree};
    editing.leave();
    startRace();
    // From the piece, moving along it; whatever happens, the run counts for
    // nothing (no best time, ghost or author time).
    physicsWorld->resetBallAt(at, moving);
    myCollision->practice = true;
    testingFrom = number;
    std::cout << "Testing from piece " << number << std::endl;
}

void Controls::backToEditor() {
    testingFrom = 0;
    // A fresh race from the start goes on under the editor, as after N.
    startRace();
    editing.enter();
    camera.position = editorCamera.position;
    camera.horizontalAngle = editorCamera.horizontalAngle;
    camera.verticalAngle = editorCamera.verticalAngle;
    if (editorCamera.cursorFree != editing.cursorFree)
        editing.toggleCursor();
}

bool Controls::escape() {
    if (testingFrom > 0) {
        backToEditor();
        return false;
    }
    return requestQuit();
}

} // namespace tovi
