// The controls' side of the editor: entering and leaving edit mode, the
// flying camera, saving, and the course check.
#include "core/controls/Controls.h"

#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/mesh/SceneObject.h"

#include <cmath>
#include <iostream>

namespace tovi {

namespace {
constexpr float kPi = 3.14159265f;

// Turns the free camera's look angles into the ones of the follow camera
// looking the same way, and back: the follow camera sits on the far side of
// the ball from where it looks.
float oppositeAngle(float horizontalAngle) {
    return static_cast<float>(std::remainder(static_cast<double>(horizontalAngle) + kPi, 2.0 * kPi));
}
} // namespace

void Controls::enterEditMode() {
    editMode = true;
    // The free camera starts where the follow camera was, looking the same way.
    position = eye;
    const glm::vec3 look = target - eye;
    const float length = glm::length(look);
    if (length > 1e-6f && std::isfinite(length)) {
        const glm::vec3 d = look / length;
        horizontalAngle = static_cast<float>(std::atan2(static_cast<double>(d.x), static_cast<double>(d.z)));
        verticalAngle = std::asin(glm::clamp(d.y, -1.0f, 1.0f));
    }
}

void Controls::leaveEditMode() {
    editMode = false;
    editor.leave();
    horizontalAngle = oppositeAngle(horizontalAngle);
}

void Controls::editorSteps(float dt, const glm::vec3& direction, const glm::vec3& right,
                           const std::function<bool(int)>& debounced) {
    auto pressed = [&](int key) { return window->keyPressed(key); };

    // Flying.
    if (pressed(key::Up) || pressed(key::W))
        position += direction * dt * speed;
    if (pressed(key::Down) || pressed(key::S))
        position -= direction * dt * speed;
    if (pressed(key::Right) || pressed(key::D))
        position += right * dt * speed;
    if (pressed(key::Left) || pressed(key::A))
        position -= right * dt * speed;
    if (pressed(key::Space))
        position.y += speed * dt;
    if (pressed(key::LeftShift))
        position.y -= speed * dt;
    if (pressed(key::N))
        std::cout << horizontalAngle << std::endl;

    // Saving. The wobble is drawn only, so what is saved is where the
    // designer put things.
    if (pressed(key::S) && pressed(key::LeftControl)) {
        if (saveTrack(trackPath, CourseStore::Editor))
            editor.say("saved");
        else if (!courseStore.savingAllowed())
            editor.say("saving is off: the course file was not loaded whole");
        else
            editor.say("could not save the course (see the console)");
    }

    editor.frame(*window, dt, position, debounced);
}

void Controls::startCourseCheck() {
    if (courseCheck.running())
        return;
    BotCourse course;
    for (scene::SceneObject* object : *tracks)
        if (const auto* piece = dynamic_cast<const scene::TrackBase*>(object))
            course.pieces.push_back({piece->pieceName, piece->modelMatrix});
    for (scene::SceneObject* ring : *rings)
        course.rings.push_back(glm::vec3(ring->modelMatrix[3]));
    if (courseCheck.start(std::move(course), kObjectsDir)) {
        showFallMarker = false;
        checkLine = "Course check: running";
    }
}

void Controls::followCourseCheck() {
    if (courseCheck.running())
        checkLine = progressLine(courseCheck.progress());
    CheckVerdict verdict;
    if (!courseCheck.takeVerdict(verdict) || verdict.cancelled)
        return;
    checkLine = verdictLine(verdict);
    std::cout << checkLine << std::endl;
    showFallMarker = verdict.fell;
    fallMarker = verdict.fallPoint;
}

} // namespace tovi
