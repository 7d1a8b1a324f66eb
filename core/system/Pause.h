#pragma once
#include <functional>

namespace tovi {

// Waits for the player to press Enter, but only when standard input is a
// terminal, so scripts and CI never hang.
void pauseForKey();

// Fatal start-up failure: flush output, wait as above, run the step set
// below, end the process with status.
[[noreturn]] void pauseAndExit(int status);

// What must stop before a fatal start-up exit (a worker thread still inside a
// library: it is stopped and joined there, never left running while exit
// tears the process down). An empty function clears it.
void setBeforeFatalExit(std::function<void()> stop);

} // namespace tovi
