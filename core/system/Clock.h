#pragma once
#include <functional>

namespace tovi {

// The game's millisecond tick counter: a monotonic clock, used for race times
// and the key debounce. Tests replace the source to drive time by hand.
double tickCount();

// Replaces the tick source; an empty function restores the steady clock.
void setTickSource(std::function<double()> source);

} // namespace tovi
