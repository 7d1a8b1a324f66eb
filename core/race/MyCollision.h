#pragma once
#include "core/race/RaceClock.h"
#include "core/replay/RaceGhost.h"
#include <glm/glm.hpp>

#include <memory>
#include <vector>

namespace tovi {
class PhysicsWorld;
namespace scene {
class SceneObject;
}

// The full-screen start, win and lose pictures; the GL implementation lives
// with the renderer so the race rules stay free of GL.
class RacePictures {
  public:
    virtual ~RacePictures() = default;
    virtual void drawStartScreen() = 0;
    virtual void drawWinScreen() = 0;
    virtual void drawLoseScreen() = 0;
};

// The race: state, passed rings, start and best time, and the per-frame rules.
class MyCollision {
  public:
    enum State { StartScreen = 0, Racing = 1, Won = 2, Lost = 3 };
    static constexpr double kResetBestTime = 255555.0;
    // A course nobody has finished yet (a new one): any finish beats it.
    static constexpr double kNoBestTime = 10000000.0;
    static constexpr float kPassDistance = 1.0f;
    // The ring rule: a ring counts as passed once the ball's centre comes
    // within kPassDistance of the ring's centre, in any order.
    static bool reachesRing(const glm::vec3& ball, const glm::vec3& ringCentre) {
        return glm::distance(ball, ringCentre) <= kPassDistance;
    }

    MyCollision(std::vector<scene::SceneObject*>& rings, scene::SceneObject* ball, PhysicsWorld* physics,
                int width, int height, std::unique_ptr<RacePictures> pictures = nullptr);
    virtual ~MyCollision();

    // Fresh ball at the start, state 1, no rings passed, timer restarted,
    // not paused; the ghost starts recording.
    void startRace();
    void forceWin() {
        if (!practice)
            state = Won;
    }
    void resetBestTime() { bestTime = kResetBestTime; }
    // The per-frame rules: completion, then ring passing, then the ghost's
    // recording. Nothing while paused. A race is complete only once the
    // ball has passed the last ring it lacked: rings deleted in the editor
    // never finish it. A practice run that completes is not won.
    void update();
    // Milliseconds of race since the race started; a pause does not count.
    double elapsed() const;

    // A running race stands still (race time, and everything the frame
    // update moves) until resumed; outside a race these do nothing.
    void pause();
    void resume();
    void togglePause();
    bool paused() const;

    void drawStartScreen();
    void drawWinScreen();
    void drawLoseScreen();

    std::vector<unsigned> passedRings;
    int state = StartScreen;
    // The course changed during this race, or was not saved when it began:
    // it cannot be won, and so saves no best time and writes no ghost.
    bool practice = false;
    std::vector<scene::SceneObject*>* rings;
    int width;
    int height;
    scene::SceneObject* ball;
    PhysicsWorld* physics;
    std::unique_ptr<RacePictures> pictures;
    RaceClock clock;
    double bestTime = kNoBestTime;
    // The race time of the last finish (won or lost), and how many races
    // have finished: the medals look at each finish once.
    double finishTime = 0.0;
    unsigned finishes = 0;
    // The best run of the course and the recording of this one.
    RaceGhost ghost;

  private:
    // The ball passed the last of the rings (they have not changed since).
    bool ballPassedAll = false;
};

} // namespace tovi
