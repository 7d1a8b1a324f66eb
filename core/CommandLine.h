#pragma once
#include <ostream>

namespace tovi {

struct CommandLineResult {
    bool ok = true;
    int width = 1000;
    int height = 780;
    bool flag = false;  // read and checked, but has no effect
    int exitStatus = 0; // when !ok
};

// Reads width, height and the flag. Prints the "you are executing" line and
// any failure message to out, exactly as the game shows them.
CommandLineResult parseCommandLine(int argc, const char* const* argv, std::ostream& out);

} // namespace tovi
