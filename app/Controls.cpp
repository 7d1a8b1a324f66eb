#include "app/Controls.h"

#include "app/Clock.h"
#include "app/CourseFile.h"
#include "app/Input.h"
#include "app/MyCollision.h"
#include "physics/PhysicsWorld.h"
#include "scene/SceneObject.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <filesystem>
#include <iostream>

namespace tovi {

namespace {
constexpr float kPushStrength = 0.05f;
constexpr float kWobble = 0.03f;
constexpr double kDebounceSeconds = 0.1;
} // namespace

void pushBall(PhysicsWorld& world, double angle) {
    btRigidBody* body = world.ballBody;
    if (body == nullptr)
        return;
    const btVector3& v = body->getLinearVelocity();
    const glm::dvec3 velocity(v.x(), v.y(), v.z());
    // Turn the velocity about the vertical axis (Rodrigues, k = +y).
    const glm::dvec3 k(0.0, 1.0, 0.0);
    const glm::dvec3 along = k * glm::dot(k, velocity);
    const glm::dvec3 turned =
        along + (velocity - along) * std::cos(angle) + glm::cross(k, velocity) * std::sin(angle);
    const double length = glm::length(turned);
    if (!(length > 0.0) || !std::isfinite(length))
        return; // a ball at rest has no direction to push along
    const glm::dvec3 force = turned / length * static_cast<double>(kPushStrength);

    btTransform transform;
    body->getMotionState()->getWorldTransform(transform);
    body->applyForce(btVector3(static_cast<btScalar>(force.x), static_cast<btScalar>(force.y),
                               static_cast<btScalar>(force.z)),
                     transform.getOrigin());
}

glm::mat4 cameraProjection() {
    const double t = std::tan(static_cast<double>(0.39269909f));
    glm::mat4 p(0.0f);
    p[0][0] = static_cast<float>(1.0 / (t * 1.3333334));
    p[1][1] = static_cast<float>(1.0 / t);
    p[2][2] = -1.002002f;
    p[2][3] = -1.0f;
    p[3][2] = -0.2002002f;
    return p;
}

void Controls::pushBall(double angle) {
    tovi::pushBall(*physicsWorld, angle);
}

Controls::Controls(const ControlsContext& c)
    : window(c.input), tracks(c.tracks), rings(c.rings), factory(c.factory), physicsWorld(c.physicsWorld),
      myCollision(c.myCollision), screenWidth(c.screenWidth), screenHeight(c.screenHeight),
      trackPath(c.trackPath) {
    tracks->clear();
    physicsWorld->removeTrackBodies();
    rings->clear();
    // Saves cut short by a kill leave their temporaries behind; clear them.
    removeStaleTemporaries(trackPath, std::cout);
    loadTrack(trackPath);
    // The race compares against the course's best time until Enter copies it.
    if (myCollision != nullptr)
        myCollision->bestTime = bestTime;
}

void Controls::loadTrack(std::string path) {
    CourseData course;
    if (!readCourseFile(path, course, std::cout)) {
        std::error_code error;
        keepCourseFile = std::filesystem::exists(path, error);
        return;
    }
    keepCourseFile = course.truncated;
    for (const CourseEntry& entry : course.entries) {
        if (entry.kind == "ring")
            rings->push_back(factory->makeRing(entry.matrix));
        else
            tracks->push_back(factory->makePiece(kObjectsDir + entry.kind, entry.matrix));
    }
    if (course.bestTime != 0.0)
        bestTime = course.bestTime;
    std::cout << bestTime << "\n";
    if (bestTime == 0.0)
        bestTime = 10000000.0;
}

bool Controls::saveTrack(std::string path) {
    if (keepCourseFile) {
        if (!toldKeepingCourseFile) {
            toldKeepingCourseFile = true;
            std::cout << "Not saving: " << path << " was not loaded whole and is kept as it is" << std::endl;
        }
        return false;
    }
    std::vector<CoursePiece> pieces;
    pieces.reserve(tracks->size());
    for (scene::SceneObject* object : *tracks) {
        if (auto* piece = dynamic_cast<scene::TrackBase*>(object))
            pieces.push_back({piece->pieceName, piece->modelMatrix});
    }
    std::vector<glm::mat4> ringMatrices;
    ringMatrices.reserve(rings->size());
    for (scene::SceneObject* ring : *rings)
        ringMatrices.push_back(ring->modelMatrix);

    std::string error;
    if (writeFileAtomically(path, formatCourse(pieces, ringMatrices, bestTime), &error))
        return true;
    // A won race saves every frame: say it once, not thirty times a second.
    static bool reported = false;
    if (!reported) {
        reported = true;
        std::cout << "Could not save the course to " << path << ": " << error << std::endl;
    }
    return false;
}

scene::SceneObject* Controls::selectedObject() {
    if (ringSelected)
        return rings->empty() ? nullptr : (*rings)[static_cast<size_t>(selectedRing)];
    return tracks->empty() ? nullptr : (*tracks)[static_cast<size_t>(selectedTrack)];
}

void Controls::clearWobble() {
    if (wobbling != nullptr)
        wobbling->drawLift = 0.0f;
    wobbling = nullptr;
}

void Controls::update() {
    // A won race keeps its best time in the course file.
    if (myCollision->state == MyCollision::Won) {
        bestTime = myCollision->bestTime;
        saveTrack(trackPath);
    }

    const double reading = window->time();
    if (!haveFrameClock) {
        haveFrameClock = true;
        lastFrameReading = reading;
    }
    const float dt = static_cast<float>(reading - lastFrameReading);

    // Mouse look, only while the window has the focus: elsewhere the cursor
    // cannot be put back and the camera would spin.
    if (window->focused()) {
        double x = 0.0;
        double y = 0.0;
        window->cursorPos(x, y);
        const int centreX = screenWidth / 2;
        const int centreY = screenHeight / 2;
        window->setCursorPos(centreX, centreY);
        horizontalAngle += mouseSpeed * static_cast<float>(static_cast<double>(centreX) - x);
        verticalAngle += (mouseSpeed / 1.5f) * static_cast<float>(static_cast<double>(centreY) - y);
    }

    const double h = horizontalAngle;
    const double v = verticalAngle;
    const glm::vec3 direction(static_cast<float>(std::cos(v) * std::sin(h)), static_cast<float>(std::sin(v)),
                              static_cast<float>(std::cos(v) * std::cos(h)));
    const double turned = h - static_cast<double>(1.57f);
    const glm::vec3 right(static_cast<float>(std::sin(turned)), 0.0f, static_cast<float>(std::cos(turned)));
    const glm::vec3 up = glm::cross(right, direction);

    const double now = tickCount();
    bool open = (now - lastKeyTime) / 1000.0 > kDebounceSeconds;
    auto debounced = [&](int key) {
        if (open && window->keyPressed(key)) {
            lastKeyTime = now;
            return true;
        }
        return false;
    };

    if (debounced(GLFW_KEY_ENTER)) {
        editMode = false;
        clearWobble();
        selectedRing = 0;
        selectedTrack = 0;
        myCollision->bestTime = bestTime;
        myCollision->startRace();
    }
    if (debounced(GLFW_KEY_B))
        myCollision->forceWin();
    if (debounced(GLFW_KEY_F2))
        showFrameRate = !showFrameRate;
    if (debounced(GLFW_KEY_F3))
        wireframe = !wireframe;
    if (debounced(GLFW_KEY_F4)) {
        nearestMagnification = !nearestMagnification;
        factory->applyMagnificationFilter(nearestMagnification);
    }
    if (debounced(GLFW_KEY_F5)) {
        nearestMinification = !nearestMinification;
        factory->applyMinificationFilter(nearestMinification);
    }
    if (debounced(GLFW_KEY_F9))
        particleBlending = !particleBlending;
    if (debounced(GLFW_KEY_F8))
        frustumCulling = !frustumCulling;
    if (debounced(GLFW_KEY_E)) {
        editMode = !editMode;
        if (!editMode) {
            clearWobble();
            myCollision->startRace();
        }
    }
    if (debounced(GLFW_KEY_C)) {
        myCollision->resetBestTime();
        bestTime = MyCollision::kResetBestTime;
    }
    if (window->keyPressed(GLFW_KEY_N))
        myCollision->startRace();
    if (window->keyPressed(GLFW_KEY_W))
        tovi::pushBall(*physicsWorld, 0.0);
    if (window->keyPressed(GLFW_KEY_S))
        tovi::pushBall(*physicsWorld, static_cast<double>(3.1415f));
    if (window->keyPressed(GLFW_KEY_A))
        tovi::pushBall(*physicsWorld, static_cast<double>(1.57f));
    if (window->keyPressed(GLFW_KEY_D))
        tovi::pushBall(*physicsWorld, static_cast<double>(-1.57f));

    if (editMode) {
        editorSteps(dt, direction, right, open, now);
        eye = position;
        target = position + direction;
        view = glm::lookAt(eye, target, up);
    } else {
        target = glm::vec3(physicsWorld->getBallModelMatrix()[3]);
        position = glm::vec3(target.x + 6.0f * std::sin(horizontalAngle), target.y + 6.0f,
                             target.z + 6.0f * std::cos(horizontalAngle));
        eye = position;
        view = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    }
    projection = cameraProjection();
    lastFrameReading = reading;
}

void Controls::editorSteps(float dt, const glm::vec3& direction, const glm::vec3& right, bool& open,
                           double now) {
    auto pressed = [&](int key) { return window->keyPressed(key); };
    auto debounced = [&](int key) {
        if (open && pressed(key)) {
            lastKeyTime = now;
            return true;
        }
        return false;
    };

    // 1. Flying.
    if (pressed(GLFW_KEY_UP) || pressed(GLFW_KEY_W))
        position += direction * dt * speed;
    if (pressed(GLFW_KEY_DOWN) || pressed(GLFW_KEY_S))
        position -= direction * dt * speed;
    if (pressed(GLFW_KEY_RIGHT) || pressed(GLFW_KEY_D))
        position += right * dt * speed;
    if (pressed(GLFW_KEY_LEFT) || pressed(GLFW_KEY_A))
        position -= right * dt * speed;
    if (pressed(GLFW_KEY_SPACE))
        position.y += speed * dt;
    if (pressed(GLFW_KEY_LEFT_SHIFT))
        position.y -= speed * dt;
    if (pressed(GLFW_KEY_N))
        std::cout << horizontalAngle << std::endl;

    // 2. Saving. The wobble is drawn only, so what is saved is where the
    // designer put things.
    if (pressed(GLFW_KEY_S) && pressed(GLFW_KEY_LEFT_CONTROL))
        saveTrack(trackPath);

    // 3-4. Placing at the camera.
    glm::mat4 placement(1.0f);
    placement[3] = glm::vec4(position, 1.0f);
    if (debounced(GLFW_KEY_0))
        rings->push_back(factory->makeRing(placement));
    static const char* const kinds[] = {"ramp", "straight", "left", "right"};
    for (int i = 0; i < 4; ++i) {
        if (debounced(GLFW_KEY_1 + i))
            tracks->push_back(factory->makePiece(std::string(kObjectsDir) + kinds[i], placement));
    }

    // 5. Selecting.
    if (debounced(GLFW_KEY_U)) {
        ringSelected = false;
        selectedTrack = (selectedTrack == static_cast<int>(tracks->size()) - 1) ? 0 : selectedTrack + 1;
    }
    if (debounced(GLFW_KEY_I)) {
        ringSelected = true;
        selectedRing = (selectedRing == static_cast<int>(rings->size()) - 1) ? 0 : selectedRing + 1;
    }
    debounced(GLFW_KEY_H); // restarts the debounce gap, nothing else

    // 6-7.
    std::vector<scene::SceneObject*>& list = ringSelected ? *rings : *tracks;
    if (list.empty()) {
        clearWobble();
        return;
    }
    if (selectedTrack < 0 || selectedTrack >= static_cast<int>(tracks->size()))
        selectedTrack = 0;
    if (selectedRing < 0 || selectedRing >= static_cast<int>(rings->size()))
        selectedRing = 0;

    // 8-9. Move, turn, scale.
    scene::SceneObject* selected = selectedObject();
    glm::mat4 m = selected->modelMatrix;
    const float s = pressed(GLFW_KEY_KP_0) ? 10.0f * dt : dt;
    if (pressed(GLFW_KEY_T)) {
        if (pressed(GLFW_KEY_KP_4))
            m[3][0] += s;
        if (pressed(GLFW_KEY_KP_6))
            m[3][0] -= s;
        if (pressed(GLFW_KEY_KP_8))
            m[3][2] += s;
        if (pressed(GLFW_KEY_KP_5))
            m[3][2] -= s;
        if (pressed(GLFW_KEY_KP_9))
            m[3][1] += s;
        if (pressed(GLFW_KEY_KP_7))
            m[3][1] -= s;
    }
    if (pressed(GLFW_KEY_R)) {
        const float a = glm::radians(4.0f * s);
        if (pressed(GLFW_KEY_KP_4))
            m = glm::rotate(m, a, glm::vec3(0, 1, 0));
        if (pressed(GLFW_KEY_KP_6))
            m = glm::rotate(m, -a, glm::vec3(0, 1, 0));
        if (pressed(GLFW_KEY_KP_8))
            m = glm::rotate(m, a, glm::vec3(1, 0, 0));
        if (pressed(GLFW_KEY_KP_5))
            m = glm::rotate(m, -a, glm::vec3(1, 0, 0));
        if (pressed(GLFW_KEY_KP_9))
            m = glm::rotate(m, a, glm::vec3(0, 0, 1));
        if (pressed(GLFW_KEY_KP_7))
            m = glm::rotate(m, -a, glm::vec3(0, 0, 1));
    }
    if (pressed(GLFW_KEY_Z)) {
        const float up = 1.0f + s / 10.0f;
        const float down = 1.0f - s / 10.0f;
        if (pressed(GLFW_KEY_KP_4))
            m = glm::scale(m, glm::vec3(up, 1, 1));
        if (pressed(GLFW_KEY_KP_6))
            m = glm::scale(m, glm::vec3(down, 1, 1));
        if (pressed(GLFW_KEY_KP_8))
            m = glm::scale(m, glm::vec3(1, 1, up));
        if (pressed(GLFW_KEY_KP_5))
            m = glm::scale(m, glm::vec3(1, 1, down));
        if (pressed(GLFW_KEY_KP_9))
            m = glm::scale(m, glm::vec3(1, up, 1));
        if (pressed(GLFW_KEY_KP_7))
            m = glm::scale(m, glm::vec3(1, down, 1));
        if (pressed(GLFW_KEY_KP_1))
            m = glm::scale(m, glm::vec3(down));
        if (pressed(GLFW_KEY_KP_2))
            m = glm::scale(m, glm::vec3(up));
    }

    // 10. The selection wobble: drawn 0.03 lower every other frame.
    if (wobbling != selected)
        clearWobble();
    wobbling = selected;
    if (bobUp) {
        selected->drawLift = 0.0f;
        bobUp = false;
    } else {
        selected->drawLift = -kWobble;
        bobUp = true;
    }

    // 11-12. Keep the edit, and the piece's collision body with it.
    bool finite = true;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            finite = finite && std::isfinite(m[c][r]);
    if (!finite || m == selected->modelMatrix)
        return;
    selected->modelMatrix = m;
    if (!ringSelected)
        physicsWorld->setBodyTransform(selectedTrack, m);
}

} // namespace tovi
