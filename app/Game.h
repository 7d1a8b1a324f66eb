#pragma once

namespace tovi {

// The whole program: command line, window, scene, main loop, teardown.
// Returns the process exit status.
int runGame(int argc, char** argv);

// The window hints of the game's context: OpenGL 3.3, core profile.
void setContextHints();

} // namespace tovi
