#include "core/controls/Controls.h"

#include "core/course/CourseList.h"
#include "core/editor/EditorHud.h"
#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <functional>
#include <iostream>

namespace tovi {

namespace {
// The context's modal stack; without one the controls keep their own.
std::unique_ptr<ModalStack> stackUnlessGiven(const ControlsContext& c) {
    return c.modals != nullptr ? nullptr : std::make_unique<ModalStack>();
}
} // namespace

Controls::Controls(const ControlsContext& c)
    : ownModals(stackUnlessGiven(c)), modals(c.modals != nullptr ? *c.modals : *ownModals),
      camera(c.input, c.screenWidth, c.screenHeight), display(c.factory),
      editing(c.input, EditorLevel{c.factory, c.tracks, c.rings, c.physicsWorld, c.myCollision, kObjectsDir},
              camera, course),
      course(c, editing.editor, notice), choice(c.courses, c.settings),
      race(c.input, c.myCollision, c.physicsWorld, c.keys != nullptr ? c.keys : &KeyBindings::usual()),
      presses(c.input), keys(c.keys != nullptr ? c.keys : &KeyBindings::usual()), window(c.input),
      myCollision(c.myCollision), physicsWorld(c.physicsWorld), courses(c.courses), settings(c.settings) {
    editing.save = [this] { return saveCourse(); };
    courseLoaded();
    if (courses != nullptr && courses->chosenCourse() != nullptr)
        std::cout << "Course " << courses->chosen() + 1 << "/" << courses->courses().size() << ": "
                  << shownName << std::endl;
}

bool Controls::switchCourse(const std::string& readPath, const std::string& savePath) {
    // A check of the course that goes has nothing to say about the next.
    check.forget();
    const bool loaded = course.switchCourse(readPath, savePath);
    courseLoaded();
    return loaded;
}

void Controls::startFromEnter() {
    if (!raceable())
        return;
    testingFrom = 0;
    if (editing.editMode)
        editing.leave();
    editing.editor.selectedRing = 0;
    editing.editor.selectedTrack = 0;
    course.startFromEnter();
    markPractice();
}

void Controls::startRace() {
    testingFrom = 0;
    course.startRace();
    markPractice();
}

void Controls::markPractice() {
    myCollision->practice = edits.dirty();
    raceRevision = editing.editor.revision();
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

    // A question or field open takes everything (the game hands it the
    // keys): the race stands still and the cursor is free. The recovery copy
    // is still written meanwhile.
    followEdits(reading);
    if (followModals()) {
        check.follow();
        lastFrameReading = reading;
        return;
    }

    // One press, one action: the toggles and one-shot keys act when they go
    // down and not again until released.
    const std::function<bool(int)> pressed = [this](int key) { return presses.pressed(key); };

    const PadCommands padCommands = race.readPad(focused);
    // A new race (Enter, N, Back) ends a pause too.
    race.pauseKey(padCommands);
    if (pressed(keyOf(Action::Start)) || padCommands.enter)
        startFromEnter();
    if (((keyOf(Action::Restart) >= 0 && window->keyPressed(keyOf(Action::Restart))) ||
         padCommands.restart) &&
        raceable())
        startRace();
    // F7 (or the editor's key) ends a run tested from a piece, paused or not.
    const bool backFromTest =
        testingFrom > 0 && !editing.editMode && (pressed(key::F7) || pressed(keyOf(Action::Editor)));
    if (backFromTest)
        backToEditor();
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
    // where the cursor was when it went down; after a question, from where
    // the cursor is.
    const bool looks = editing.mouseLooks();
    if (focused && looks)
        camera.look(focusReturned || !lookedLastFrame || modalWasOpen);
    lookedLastFrame = looks;
    modalWasOpen = false;
    camera.swing(padCommands, dt);

    const bool onScreen = !editing.editMode && myCollision->state != MyCollision::Racing;
    const CourseChoice::Switch switchTo = [this](const std::string& readPath, const std::string& savePath) {
        return switchCourse(readPath, savePath);
    };
    // Another course only once this one's edits are saved or dropped.
    if (onScreen && (pressed(keyOf(Action::Next)) || padCommands.courseStep > 0))
        leaveThen([this, switchTo] { choice.step(1, switchTo); });
    if (onScreen && (pressed(keyOf(Action::Previous)) || padCommands.courseStep < 0))
        leaveThen([this, switchTo] { choice.step(-1, switchTo); });
    courseKeys(onScreen, pressed);
    race.raceToggles(pressed);
    display.keys(pressed, keyOf(Action::Help));
    if (pressed(keyOf(Action::Check)) && (editing.editMode || myCollision->state == MyCollision::Racing))
        check.start(*course.tracks, *course.rings, course.raceStart(), kObjectsDir);
    if (!backFromTest && pressed(key::F7) && editing.editMode) {
        testFromHere();
    } else if (!backFromTest && pressed(keyOf(Action::Editor))) {
        if (editing.editMode) {
            editing.leave();
            if (raceable())
                startRace();
            else
                myCollision->state = MyCollision::StartScreen;
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

void Controls::courseKeys(bool onScreen, const std::function<bool(int)>& pressed) {
    if (pressed(key::Insert) && onScreen)
        newCourse();
    if (pressed(key::Delete) && onScreen)
        askDeleteCourse();
    if (pressed(key::L) && editing.editMode)
        openNameField();
}

void Controls::statusLines(std::vector<std::string>& lines) const {
    lines.clear();
    if (editing.editMode) {
        lines.push_back("course: " + shownName + (edits.dirty() ? "  (not saved)" : ""));
        appendEditorStatus(editing.editor, lines);
    }
    if (course.awaitingAuthorTime)
        lines.push_back("not validated: finish a clean run to set the author time");
    if (testingFrom > 0)
        lines.push_back("practice from piece " + std::to_string(testingFrom) +
                        ": does not count  (F7 or Escape: back to the editor)");
    else if (myCollision->state == MyCollision::Racing && myCollision->practice)
        lines.push_back("practice: the course changed");
    if (!check.line.empty())
        lines.push_back(check.line);
}

} // namespace tovi
