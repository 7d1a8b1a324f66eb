#pragma once

namespace tovi {

// The whole program: command line, window, scene, main loop, teardown.
// Returns the process exit status.
int runGame(int argc, char** argv);

} // namespace tovi
