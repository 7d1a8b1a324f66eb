#include "core/controls/Controls.h"

#include "core/editor/EditorHud.h"
#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <functional>

namespace tovi {

Controls::Controls(const ControlsContext& c)
    : camera(c.input, c.screenWidth, c.screenHeight), display(c.factory),
      editing(c.input, EditorLevel{c.factory, c.tracks, c.rings, c.physicsWorld, c.myCollision, kObjectsDir},
              camera, course),
      course(c, editing.editor, notice), choice(c.courses, c.settings),
      race(c.input, c.myCollision, c.physicsWorld, c.keys != nullptr ? c.keys : &KeyBindings::usual()),
      presses(c.input), keys(c.keys != nullptr ? c.keys : &KeyBindings::usual()), window(c.input),
      myCollision(c.myCollision), physicsWorld(c.physicsWorld) {}

bool Controls::switchCourse(const std::string& readPath, const std::string& savePath) {
    // A check of the course that goes has nothing to say about the next.
    check.forget();
    return course.switchCourse(readPath, savePath);
}

void Controls::startFromEnter() {
    if (editing.editMode)
        editing.leave();
    editing.editor.selectedRing = 0;
    editing.editor.selectedTrack = 0;
    course.startFromEnter();
}

void Controls::windowHidden() {
    myCollision->pause();
    haveFrameClock = false;
}

void Controls::update() {
    course.followFinish(editing.editMode);
    course.keepWonRace();

    const double reading = window->time();
    if (!haveFrameClock) {
        haveFrameClock = true;
        lastFrameReading = reading;
    }
    const float dt = static_cast<float>(reading - lastFrameReading);
    notice.expire(reading);
    presses.nextFrame(reading);

    // Losing the focus pauses a running race.
    const bool focused = window->focused();
    const bool focusReturned = focused && !hadFocus;
    if (hadFocus && !focused)
        myCollision->pause();
    hadFocus = focused;

    // One press, one action: the toggles and one-shot keys act when they go
    // down and not again until released.
    const std::function<bool(int)> pressed = [this](int key) { return presses.pressed(key); };

    const PadCommands padCommands = race.readPad(focused);
    // A new race (Enter, N, Back) ends a pause too.
    race.pauseKey(padCommands);
    if (pressed(keyOf(Action::Start)) || padCommands.enter)
        startFromEnter();
    if ((keyOf(Action::Restart) >= 0 && window->keyPressed(keyOf(Action::Restart))) || padCommands.restart)
        course.startRace();
    if (myCollision->paused() && !editing.editMode) {
        // The picture stands still and no other key acts. The cursor is
        // still held at the centre, so the camera does not jump on resume.
        // (The editor goes on working over a paused race.)
        if (focused)
            camera.holdCursor();
        check.follow();
        lastFrameReading = reading;
        return;
    }

    // Mouse look, only while the window has the focus: elsewhere the cursor
    // cannot be put back and the camera would spin.
    // In the editor's cursor mode only while the right button is held, from
    // where the cursor was when it went down.
    const bool looks = editing.mouseLooks();
    if (focused && looks)
        camera.look(focusReturned || !lookedLastFrame);
    lookedLastFrame = looks;
    camera.swing(padCommands, dt);

    const bool onScreen = !editing.editMode && myCollision->state != MyCollision::Racing;
    const CourseChoice::Switch switchTo = [this](const std::string& readPath, const std::string& savePath) {
        return switchCourse(readPath, savePath);
    };
    if (onScreen && (pressed(keyOf(Action::Next)) || padCommands.courseStep > 0))
        choice.step(1, switchTo);
    if (onScreen && (pressed(keyOf(Action::Previous)) || padCommands.courseStep < 0))
        choice.step(-1, switchTo);
    race.raceToggles(pressed);
    display.keys(pressed, keyOf(Action::Help));
    if (pressed(keyOf(Action::Check)) && (editing.editMode || myCollision->state == MyCollision::Racing))
        check.start(*course.tracks, *course.rings, course.raceStart(), kObjectsDir);
    if (pressed(keyOf(Action::Editor))) {
        if (editing.editMode) {
            editing.leave();
            course.startRace();
        } else {
            editing.enter();
        }
    }
    // Left Control+C is the editor's copy.
    if (!window->keyPressed(key::LeftControl) && pressed(key::C))
        course.resetBestTime();
    race.push(padCommands);
    check.follow();

    if (editing.editMode) {
        // Mouse look and the keys above may have moved the camera's angles.
        const CameraAxes flying = cameraAxes(camera.horizontalAngle, camera.verticalAngle);
        course.markEdited();
        editing.frame(dt, flying, presses);
        camera.lookFlying(flying);
    } else {
        camera.follow(glm::vec3(physicsWorld->getBallModelMatrix()[3]));
    }
    camera.project();
    lastFrameReading = reading;
}

void Controls::statusLines(std::vector<std::string>& lines) const {
    lines.clear();
    if (editing.editMode)
        appendEditorStatus(editing.editor, lines);
    if (course.awaitingAuthorTime)
        lines.push_back("not validated: finish a clean run to set the author time");
    if (!check.line.empty())
        lines.push_back(check.line);
}

} // namespace tovi
