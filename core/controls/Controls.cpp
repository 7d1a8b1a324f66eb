#include "core/controls/Controls.h"

#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/editor/EditorHud.h"
#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/mesh/SceneObject.h"
#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "core/replay/GhostFile.h"
#include "core/system/Clock.h"
#include "core/view/Camera.h"
#include "physics/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <functional>
#include <iostream>

namespace tovi {

namespace {
constexpr double kDebounceSeconds = 0.1;
// A right stick held over fully swings the camera this fast (radians per
// second), about as fast as a brisk mouse.
constexpr float kPadSwing = 2.5f;
} // namespace

void Controls::pushBall(double angle) {
    tovi::pushBall(*physicsWorld, angle);
}

Controls::Controls(const ControlsContext& c)
    : window(c.input), tracks(c.tracks), rings(c.rings), factory(c.factory), physicsWorld(c.physicsWorld),
      myCollision(c.myCollision),
      editor(EditorLevel{c.factory, c.tracks, c.rings, c.physicsWorld, c.myCollision, kObjectsDir}),
      screenWidth(c.screenWidth), screenHeight(c.screenHeight), trackPath(c.trackPath), courses(c.courses),
      settings(c.settings) {
    clearLevel();
    // Saves cut short by a kill leave their temporaries behind; clear them.
    if (!trackPath.empty())
        removeStaleTemporaries(trackPath, std::cout);
    const std::string readPath = c.trackReadPath.empty() ? trackPath : c.trackReadPath;
    const bool loaded = c.startCourse != nullptr ? placeCourse(readPath, c.startCourseRead, *c.startCourse)
                                                 : loadTrack(readPath);
    // The race compares against the course's best time until Enter copies it.
    if (myCollision != nullptr) {
        myCollision->bestTime = bestTime;
        loadGhost(loaded);
    }
}

void Controls::loadGhost(bool courseLoaded) {
    // The best run's ghost lives beside the course as the game saves it.
    levelMayHaveChanged = false;
    const std::uint64_t fingerprint = levelFingerprint();
    const std::string ghostPath =
        courseLoaded && !trackPath.empty() ? ghostPathFor(trackPath) : std::string();
    if (!ghostPath.empty())
        removeStaleTemporaries(ghostPath, std::cout);
    myCollision->ghost.load(ghostPath, fingerprint, std::cout);
}

void Controls::clearLevel() {
    // Nothing to select or undo on what goes now.
    editor.reset();
    for (scene::SceneObject* piece : *tracks)
        factory->destroy(piece);
    tracks->clear();
    physicsWorld->removeTrackBodies();
    for (scene::SceneObject* ring : *rings)
        factory->destroy(ring);
    rings->clear();
}

bool Controls::loadTrack(std::string path) {
    CourseData course;
    const bool read = readCourseFile(path, course, std::cout);
    return placeCourse(path, read, course);
}

double Controls::loadedBestTime(bool read, const CourseData& course) {
    if (!read)
        return 0.0;
    return course.bestTime != 0.0 ? course.bestTime : 10000000.0;
}

bool Controls::placeCourse(const std::string& path, bool read, const CourseData& course) {
    if (!courseStore.adopt(path, read, course))
        return false;
    for (const CourseEntry& entry : course.entries) {
        if (entry.kind == "ring")
            rings->push_back(factory->makeRing(entry.matrix));
        else
            tracks->push_back(factory->makePiece(kObjectsDir + entry.kind, entry.matrix));
    }
    std::cout << course.bestTime << "\n";
    bestTime = loadedBestTime(true, course);
    return true;
}

bool Controls::switchCourse(const std::string& readPath, const std::string& savePath) {
    // A check of the course that goes has nothing to say about the next.
    courseCheck.stop();
    checkLine.clear();
    showFallMarker = false;
    clearLevel();
    // The race starts afresh on the new course: nothing passed, and no win
    // that would save the old best time into the new course's file.
    myCollision->passedRings.clear();
    myCollision->state = MyCollision::StartScreen;

    trackPath = savePath;
    if (!trackPath.empty())
        removeStaleTemporaries(trackPath, std::cout);
    bestTime = 0.0;
    const bool loaded = loadTrack(readPath);
    if (!loaded)
        bestTime = 10000000.0;
    myCollision->bestTime = bestTime;
    loadGhost(loaded);
    return loaded;
}

void Controls::stepCourse(int direction) {
    if (courses == nullptr)
        return;
    for (std::size_t tries = 0; tries < courses->courses().size(); ++tries) {
        if (!courses->step(direction, std::cout))
            return;
        const CourseListEntry& course = *courses->chosenCourse();
        const CoursePaths paths = courses->pathsOf(course);
        if (switchCourse(paths.read, paths.save)) {
            // Without a player's folder there is nowhere to remember it.
            if (settings != nullptr && !settings->path().empty()) {
                settings->set("course", course.file);
                settings->save(std::cout);
            }
            return;
        }
        std::cout << '\n'; // the reader's message ends with the path
        courses->markUnavailable(courses->chosen(), std::cout);
    }
}

void Controls::levelContents(std::vector<CoursePiece>& pieces, std::vector<glm::mat4>& ringMatrices) const {
    pieces.clear();
    for (scene::SceneObject* object : *tracks) {
        if (auto* piece = dynamic_cast<scene::TrackBase*>(object))
            pieces.push_back({piece->pieceName, piece->modelMatrix});
    }
    ringMatrices.clear();
    for (scene::SceneObject* ring : *rings)
        ringMatrices.push_back(ring->modelMatrix);
}

bool Controls::saveTrack(std::string path, CourseStore::Saver saver) {
    levelContents(savePieces, saveRings);
    std::string told;
    const bool saved = courseStore.save(path, savePieces, saveRings, bestTime, saver, std::cout, &told);
    if (!told.empty())
        showNotice(told);
    return saved;
}

void Controls::showNotice(const std::string& text) {
    notice = text;
    noticeShownAt = window->time();
}

std::uint64_t Controls::levelFingerprint() const {
    std::vector<CoursePiece> pieces;
    std::vector<glm::mat4> ringMatrices;
    levelContents(pieces, ringMatrices);
    return courseFingerprint(pieces, ringMatrices);
}

void Controls::startRace() {
    if (levelMayHaveChanged) {
        levelMayHaveChanged = false;
        myCollision->ghost.setCourse(levelFingerprint());
    }
    myCollision->startRace();
}

void Controls::startFromEnter() {
    if (editMode)
        leaveEditMode();
    editor.selectedRing = 0;
    editor.selectedTrack = 0;
    myCollision->bestTime = bestTime;
    startRace();
}

void Controls::update() {
    // A won race keeps its best time in the course file (written once, and
    // again only when C changes it) and its run beside it.
    if (myCollision->state == MyCollision::Won) {
        bestTime = myCollision->bestTime;
        saveTrack(trackPath, CourseStore::WonRace);
        myCollision->ghost.saveNewBest(trackPath.empty() ? trackPath : ghostPathFor(trackPath), std::cout);
    }

    const double reading = window->time();
    if (!haveFrameClock) {
        haveFrameClock = true;
        lastFrameReading = reading;
    }
    const float dt = static_cast<float>(reading - lastFrameReading);
    if (!notice.empty() && reading - noticeShownAt >= kNoticeSeconds)
        notice.clear();

    // Losing the focus pauses a running race.
    const bool focused = window->focused();
    const bool focusReturned = focused && !hadFocus;
    if (hadFocus && !focused)
        myCollision->pause();
    hadFocus = focused;

    const double now = tickCount();
    bool open = (now - lastKeyTime) / 1000.0 > kDebounceSeconds;
    const std::function<bool(int)> debounced = [&](int key) {
        if (open && window->keyPressed(key)) {
            lastKeyTime = now;
            return true;
        }
        return false;
    };
    auto pressedNow = [&](int key, bool& wasDown) {
        const bool down = window->keyPressed(key);
        const bool pressed = down && !wasDown;
        wasDown = down;
        return pressed;
    };

    // The gamepad: the right stick swings the camera like the mouse, the
    // left one pushes like W/A/S/D (below), its buttons act on the race.
    // Like the keys, it plays only while the window has the focus.
    GamepadState padState;
    const bool havePad = focused && window->gamepad(padState);
    const PadCommands padCommands =
        pad.update(havePad ? &padState : nullptr, myCollision->state == MyCollision::Racing);

    // P (or Start on a pad) pauses and resumes; a new race (Enter, N, Back)
    // ends a pause too.
    if (pressedNow(key::P, pauseKeyDown) || padCommands.pause)
        myCollision->togglePause();
    if (debounced(key::Enter) || padCommands.enter)
        startFromEnter();
    if (window->keyPressed(key::N) || padCommands.restart)
        startRace();
    if (myCollision->paused() && !editMode) {
        // The picture stands still and no other key acts. The cursor is
        // still held at the centre, so the camera does not jump on resume.
        // (The editor goes on working over a paused race.)
        if (focused)
            window->setCursorPos(screenWidth / 2, screenHeight / 2);
        followCourseCheck();
        lastFrameReading = reading;
        return;
    }

    // Mouse look, only while the window has the focus: elsewhere the cursor
    // cannot be put back and the camera would spin. The first frame with the
    // focus (at the start, and whenever it comes back) only puts the cursor
    // in the centre: where it was meanwhile is no turn of the camera.
    if (focused) {
        double x = 0.0;
        double y = 0.0;
        window->cursorPos(x, y);
        const int centreX = screenWidth / 2;
        const int centreY = screenHeight / 2;
        window->setCursorPos(centreX, centreY);
        if (!focusReturned) {
            horizontalAngle += mouseSpeed * static_cast<float>(static_cast<double>(centreX) - x);
            verticalAngle += (mouseSpeed / 1.5f) * static_cast<float>(static_cast<double>(centreY) - y);
        }
    }
    horizontalAngle -= kPadSwing * padCommands.swingRight * dt;
    verticalAngle += kPadSwing / 1.5f * padCommands.swingUp * dt;

    const bool onScreen = !editMode && myCollision->state != MyCollision::Racing;
    if (onScreen && (debounced(key::Right) || padCommands.courseStep > 0))
        stepCourse(1);
    if (onScreen && (debounced(key::Left) || padCommands.courseStep < 0))
        stepCourse(-1);
    if (debounced(key::B))
        myCollision->forceWin();
    if (pressedNow(key::V, ghostKeyDown))
        myCollision->ghost.toggleShown();
    if (debounced(key::F2))
        showFrameRate = !showFrameRate;
    if (debounced(key::F3))
        wireframe = !wireframe;
    if (debounced(key::F4)) {
        nearestMagnification = !nearestMagnification;
        factory->applyMagnificationFilter(nearestMagnification);
    }
    if (debounced(key::F5)) {
        nearestMinification = !nearestMinification;
        factory->applyMinificationFilter(nearestMinification);
    }
    if (debounced(key::F9))
        particleBlending = !particleBlending;
    if (debounced(key::F8))
        frustumCulling = !frustumCulling;
    if (debounced(key::F1))
        showHelp = !showHelp;
    if (debounced(key::F6) && (editMode || myCollision->state == MyCollision::Racing))
        startCourseCheck();
    if (debounced(key::E)) {
        if (editMode) {
            leaveEditMode();
            startRace();
        } else {
            enterEditMode();
        }
    }
    if (debounced(key::C)) {
        myCollision->resetBestTime();
        bestTime = MyCollision::kResetBestTime;
    }
    if (window->keyPressed(key::W))
        tovi::pushBall(*physicsWorld, steerAngle(Steer::W));
    if (window->keyPressed(key::S))
        tovi::pushBall(*physicsWorld, steerAngle(Steer::S));
    if (window->keyPressed(key::A))
        tovi::pushBall(*physicsWorld, steerAngle(Steer::A));
    if (window->keyPressed(key::D))
        tovi::pushBall(*physicsWorld, steerAngle(Steer::D));
    if (padCommands.push > 0.0f)
        tovi::pushBall(*physicsWorld, padCommands.pushAngle, padCommands.push);
    followCourseCheck();

    if (editMode) {
        // Mouse look and the keys above may have moved the camera's angles.
        const CameraAxes flying = cameraAxes(horizontalAngle, verticalAngle);
        levelMayHaveChanged = true;
        editorSteps(dt, flying.direction, flying.right, debounced);
        eye = position;
        target = position + flying.direction;
        view = glm::lookAt(eye, target, flying.up);
    } else {
        target = glm::vec3(physicsWorld->getBallModelMatrix()[3]);
        position = followCameraPosition(target, horizontalAngle);
        eye = position;
        view = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    }
    projection = cameraProjection(aspect);
    lastFrameReading = reading;
}

void Controls::statusLines(std::vector<std::string>& lines) const {
    lines.clear();
    if (editMode)
        appendEditorStatus(editor, lines);
    if (!checkLine.empty())
        lines.push_back(checkLine);
}

const std::vector<std::string>& Controls::helpLines() const {
    static const std::vector<std::string> kNone;
    if (!showHelp)
        return kNone;
    return editMode ? editorHelp() : raceHelp();
}

} // namespace tovi
