#pragma once
// The race clock: milliseconds since the race started, not counting the time
// the race stood paused. Readings of the game's tick counter come in from
// outside, so the clock itself holds no time source.
namespace tovi {

class RaceClock {
  public:
    // A new race at this tick: race time 0, running.
    void start(double now);
    // Stops the race time at its value at this tick; nothing when paused.
    void pause(double now);
    // Goes on from where the race time stood; nothing when running.
    void resume(double now);
    bool paused() const { return isPaused; }
    // The tick the race started at (moved on by every pause).
    double startedAt() const { return startTick; }
    // Race time at this tick; while paused, the time when the pause began.
    double elapsed(double now) const;

  private:
    double startTick = 0.0;
    double pausedAt = 0.0;
    bool isPaused = false;
};

} // namespace tovi
