// The editor's keys, run by the controls once a frame in edit mode.
#include "core/editor/Editor.h"

#include "core/editor/GridDrag.h"
#include "core/input/Input.h"
#include "core/input/KeyPresses.h"
#include "core/input/Keys.h"
#include "core/mesh/SceneObject.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace tovi {

namespace {
constexpr float kWobble = 0.03f;
const char* const kPieceKinds[] = {"ramp", "straight", "left", "right"};
constexpr int kGestureKeys[] = {key::Kp1, key::Kp2, key::Kp4, key::Kp5,
                                key::Kp6, key::Kp7, key::Kp8, key::Kp9};

} // namespace

void Editor::frame(InputSource& input, float dt, const glm::vec3& camera, KeyPresses& presses) {
    auto pressed = [&](int key) { return input.keyPressed(key); };
    auto once = [&](int key) { return presses.pressed(key); };

    // Placing: plain at the camera, with Left Alt joined to the selection.
    glm::mat4 placement(1.0f);
    placement[3] = glm::vec4(camera, 1.0f);
    if (once(key::Num0))
        placeRing(placement);
    const bool joined = pressed(key::LeftAlt);
    for (int i = 0; i < 4; ++i) {
        if (once(key::Num1 + i)) {
            if (joined)
                placeJoined(kPieceKinds[i]);
            else
                placePiece(kPieceKinds[i], placement);
        }
    }

    // Selecting.
    if (once(key::U))
        selectNextPiece();
    if (once(key::I))
        selectNextRing();

    // Deleting, snapping, undo and redo.
    if (once(key::Delete))
        deleteSelection();
    if (once(key::G))
        snapSelection();
    if (pressed(key::LeftControl) && presses.pressedOrRepeated(key::Z))
        undo();
    if (pressed(key::LeftControl) && presses.pressedOrRepeated(key::Y))
        redo();

    markObjects(true);
    if (listOf(ringSelected).empty() || noneSelected) {
        endGesture();
        clearWobble();
        return;
    }
    clampSelection();
    scene::SceneObject* object = selected();

    editSelection(input, dt);

    // The selection wobble: drawn 0.03 lower every other frame.
    if (wobbling != object)
        clearWobble();
    wobbling = object;
    if (bobUp) {
        object->drawLift = 0.0f;
        bobUp = false;
    } else {
        object->drawLift = -kWobble;
        bobUp = true;
    }
}

// Move, turn and scale with the keypad. A gesture lasts from the first keypad
// key down to the last key up and is one step of the undo history.
void Editor::editSelection(InputSource& input, float dt) {
    auto pressed = [&](int key) { return input.keyPressed(key); };
    if (drag.open)
        return;
    const std::vector<ObjectRef> all = selection();
    bool held = false;
    for (int key : kGestureKeys)
        held = held || pressed(key);
    if (gesture.open && (!held || gesture.objects != all))
        endGesture();

    scene::SceneObject* object = selected();
    glm::mat4 m = object->modelMatrix;
    const float s = pressed(key::Kp0) ? 10.0f * dt : dt;
    if (pressed(key::T)) {
        if (pressed(key::Kp4))
            m[3][0] += s;
        if (pressed(key::Kp6))
            m[3][0] -= s;
        if (pressed(key::Kp8))
            m[3][2] += s;
        if (pressed(key::Kp5))
            m[3][2] -= s;
        if (pressed(key::Kp9))
            m[3][1] += s;
        if (pressed(key::Kp7))
            m[3][1] -= s;
    }
    if (pressed(key::R)) {
        const float a = glm::radians(4.0f * s);
        if (pressed(key::Kp4))
            m = glm::rotate(m, a, glm::vec3(0, 1, 0));
        if (pressed(key::Kp6))
            m = glm::rotate(m, -a, glm::vec3(0, 1, 0));
        if (pressed(key::Kp8))
            m = glm::rotate(m, a, glm::vec3(1, 0, 0));
        if (pressed(key::Kp5))
            m = glm::rotate(m, -a, glm::vec3(1, 0, 0));
        if (pressed(key::Kp9))
            m = glm::rotate(m, a, glm::vec3(0, 0, 1));
        if (pressed(key::Kp7))
            m = glm::rotate(m, -a, glm::vec3(0, 0, 1));
    }
    if (pressed(key::Z)) {
        const float up = 1.0f + s / 10.0f;
        const float down = 1.0f - s / 10.0f;
        if (pressed(key::Kp4))
            m = glm::scale(m, glm::vec3(up, 1, 1));
        if (pressed(key::Kp6))
            m = glm::scale(m, glm::vec3(down, 1, 1));
        if (pressed(key::Kp8))
            m = glm::scale(m, glm::vec3(1, 1, up));
        if (pressed(key::Kp5))
            m = glm::scale(m, glm::vec3(1, 1, down));
        if (pressed(key::Kp9))
            m = glm::scale(m, glm::vec3(1, up, 1));
        if (pressed(key::Kp7))
            m = glm::scale(m, glm::vec3(1, down, 1));
        if (pressed(key::Kp1))
            m = glm::scale(m, glm::vec3(down));
        if (pressed(key::Kp2))
            m = glm::scale(m, glm::vec3(up));
    }

    // Keep the edit, and the pieces' collision bodies with it. The others
    // selected move as far across the world and turn and scale about their
    // own axes as the first one.
    if (!isFiniteMatrix(m) || m == object->modelMatrix)
        return;
    const glm::vec3 across = glm::vec3(m[3]) - glm::vec3(object->modelMatrix[3]);
    const glm::mat4 own = glm::inverse(object->modelMatrix) * m;
    std::vector<glm::mat4> after{m};
    for (std::size_t i = 1; i < all.size(); ++i) {
        glm::mat4 other = objectAt(all[i])->modelMatrix;
        if (pressed(key::T))
            other[3] += glm::vec4(across, 0.0f);
        else
            other = other * own;
        if (!isFiniteMatrix(other))
            return;
        after.push_back(other);
    }
    if (!gesture.open) {
        gesture.open = true;
        gesture.objects = all;
        gesture.before.clear();
        for (const ObjectRef& o : all)
            gesture.before.push_back(objectAt(o)->modelMatrix);
    }
    for (std::size_t i = 0; i < all.size(); ++i)
        setMatrix(all[i].ring, all[i].index, after[i]);
}

void Editor::endGesture() {
    endDrag();
    if (!gesture.open)
        return;
    gesture.open = false;
    std::vector<glm::mat4> after;
    for (const ObjectRef& o : gesture.objects) {
        if (o.index >= static_cast<int>(listOf(o.ring).size()))
            return;
        after.push_back(objectAt(o)->modelMatrix);
    }
    // Back to where the gesture began, then forward again as one step.
    for (std::size_t i = 0; i < gesture.objects.size(); ++i)
        objectAt(gesture.objects[i])->modelMatrix = gesture.before[i];
    changeAll(gesture.objects, after);
}

} // namespace tovi
