#pragma once
// Worker threads that must not slow the game's own frames down.

namespace tovi {

// Lowers the calling thread's priority, so it runs on what the game's own
// threads (and the display server) leave over. Linux takes the niceness per
// thread; elsewhere this does nothing.
void lowerThisThreadPriority();

} // namespace tovi
