#include "core/Controls.h"

#include "core/Input.h"
#include "core/Keys.h"
#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <iostream>

// The level editor's steps, run by the controls once a frame in edit mode.

namespace tovi {

namespace {
constexpr float kWobble = 0.03f;
} // namespace

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

    // 2. Saving. The wobble is drawn only, so what is saved is where the
    // designer put things.
    if (pressed(key::S) && pressed(key::LeftControl))
        saveTrack(trackPath);

    // 3-4. Placing at the camera.
    glm::mat4 placement(1.0f);
    placement[3] = glm::vec4(position, 1.0f);
    if (debounced(key::Num0) && roomToPlace())
        rings->push_back(factory->makeRing(placement));
    static const char* const kinds[] = {"ramp", "straight", "left", "right"};
    for (int i = 0; i < 4; ++i) {
        if (debounced(key::Num1 + i) && roomToPlace())
            tracks->push_back(factory->makePiece(std::string(kObjectsDir) + kinds[i], placement));
    }

    // 5. Selecting.
    if (debounced(key::U)) {
        ringSelected = false;
        selectedTrack = (selectedTrack == static_cast<int>(tracks->size()) - 1) ? 0 : selectedTrack + 1;
    }
    if (debounced(key::I)) {
        ringSelected = true;
        selectedRing = (selectedRing == static_cast<int>(rings->size()) - 1) ? 0 : selectedRing + 1;
    }
    debounced(key::H); // restarts the debounce gap, nothing else

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
