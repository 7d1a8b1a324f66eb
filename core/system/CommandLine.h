#pragma once
#include <ostream>
#include <string>

namespace tovi {

struct CommandLineResult {
    bool ok = true;
    int width = 1000;
    int height = 780;
    bool flag = false;  // read and checked, but has no effect
    int exitStatus = 0; // when !ok
    // "--help" or "--version" anywhere: print that and exit 0, nothing else
    // is read (help wins when both are given).
    bool showHelp = false;
    bool showVersion = false;
};

// Reads width, height and the flag. Prints the "you are executing" line and
// any failure message to out, exactly as the game shows them.
CommandLineResult parseCommandLine(int argc, const char* const* argv, std::ostream& out);

struct DataPaths;

// What --help prints: the arguments, what they do, and where the game data
// and the player's saves are; paths says where they are for this run.
std::string usageText(const DataPaths& paths);
// What --version prints: "Zentaro " and the version, one line.
std::string versionText();

} // namespace tovi
