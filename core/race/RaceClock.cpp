#include "core/race/RaceClock.h"

namespace tovi {

void RaceClock::start(double now) {
    startTick = now;
    isPaused = false;
}

void RaceClock::pause(double now) {
    if (isPaused)
        return;
    pausedAt = now;
    isPaused = true;
}

void RaceClock::resume(double now) {
    if (!isPaused)
        return;
    // The race starts that much later, as if the pause had never been.
    startTick += now - pausedAt;
    isPaused = false;
}

double RaceClock::elapsed(double now) const {
    return (isPaused ? pausedAt : now) - startTick;
}

} // namespace tovi
