#include "core/race/MyCollision.h"

#include "core/mesh/SceneObject.h"
#include "core/system/Clock.h"
#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <cmath>

namespace tovi {

MyCollision::MyCollision(std::vector<scene::SceneObject*>& ringList, scene::SceneObject* ballObject,
                         PhysicsWorld* physicsWorld, int w, int h, std::unique_ptr<RacePictures> pics)
    : rings(&ringList), width(w), height(h), ball(ballObject), physics(physicsWorld),
      pictures(std::move(pics)) {}

MyCollision::~MyCollision() = default;

void MyCollision::startRace() {
    if (physics != nullptr)
        physics->resetBall();
    state = Racing;
    passedRings.clear();
    ballPassedAll = false;
    practice = false;
    clock.start(tickCount());
    ghost.startRace(physics != nullptr ? physics->getBallModelMatrix()
                                       : (ball != nullptr ? ball->modelMatrix : glm::mat4(1.0f)));
}

double MyCollision::elapsed() const {
    return clock.elapsed(tickCount());
}

void MyCollision::pause() {
    if (state == Racing)
        clock.pause(tickCount());
}

void MyCollision::resume() {
    clock.resume(tickCount());
}

void MyCollision::togglePause() {
    if (paused())
        resume();
    else
        pause();
}

bool MyCollision::paused() const {
    return state == Racing && clock.paused();
}

void MyCollision::update() {
    if (paused())
        return;
    if (passedRings.size() != rings->size())
        ballPassedAll = false;
    if (!rings->empty() && state == Racing && ballPassedAll) {
        const double time = elapsed();
        finishTime = time;
        ++finishes;
        if (bestTime > time && !practice) {
            bestTime = time;
            state = Won;
            if (ball != nullptr)
                ghost.record(time, ball->modelMatrix, passedRings.size());
            ghost.won(time);
        } else {
            state = Lost;
        }
        return;
    }
    if (ball == nullptr)
        return;
    const glm::vec3 ballPosition(ball->modelMatrix[3]);
    for (unsigned i = 0; i < rings->size(); ++i) {
        if (std::find(passedRings.begin(), passedRings.end(), i) != passedRings.end())
            continue;
        if (reachesRing(ballPosition, glm::vec3((*rings)[i]->modelMatrix[3]))) {
            passedRings.push_back(i);
            ballPassedAll = passedRings.size() == rings->size();
        }
    }
    if (state == Racing)
        ghost.record(elapsed(), ball->modelMatrix, passedRings.size());
}

void MyCollision::drawStartScreen() {
    if (pictures)
        pictures->drawStartScreen();
}
void MyCollision::drawWinScreen() {
    if (pictures)
        pictures->drawWinScreen();
}
void MyCollision::drawLoseScreen() {
    if (pictures)
        pictures->drawLoseScreen();
}

} // namespace tovi
