#pragma once

namespace tovi {

// Waits for the player to press Enter, but only when standard input is a
// terminal, so scripts and CI never hang.
void pauseForKey();

// Fatal start-up failure: flush output, wait as above, end the process.
[[noreturn]] void pauseAndExit(int status);

} // namespace tovi
