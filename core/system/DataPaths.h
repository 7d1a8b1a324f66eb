#pragma once
// Where the game finds its data and keeps the player's files.
//
// The game data is the folder Kobuldo/; every path the game opens is relative
// to the folder holding it (the "data folder"), and the game changes to that
// folder at start. It is looked for in two places, in this order:
//   1. the working directory (the build folder's run/ copy, the tests' copies);
//   2. <prefix>/share/zentaro beside an installed program <prefix>/bin/zentaro,
//      found from the program's own path, so a moved installation still works.
// A writable Kobuldo/ in the working directory is also where the player's files
// go (today's behaviour). Otherwise the installed files are never written:
// courses and best times go to $XDG_DATA_HOME/zentaro/ (by default
// ~/.local/share/zentaro/), the settings to $XDG_CONFIG_HOME/zentaro/ (by
// default ~/.config/zentaro/), each created on the first save.
#include <functional>
#include <string>
#include <vector>

namespace tovi {

// What the search looks at. currentDataEnvironment() fills it from the running
// process; tests make their own.
struct DataEnvironment {
    std::string workingDir;    // absolute
    std::string executable;    // absolute path of the program; empty when unknown
    std::string xdgDataHome;   // $XDG_DATA_HOME as set, empty when unset
    std::string xdgConfigHome; // $XDG_CONFIG_HOME as set, empty when unset
    std::string home;          // $HOME as set, empty when unset
    std::string accountHome;   // the home folder of the user's account entry, empty when unknown
    // Whether the game may create and replace files in the folder.
    std::function<bool(const std::string& folder)> writable;
};

DataEnvironment currentDataEnvironment();

struct DataPaths {
    bool found = false;
    std::string dataDir;               // absolute folder holding Kobuldo/
    bool workingCopy = false;          // the player's files live in that Kobuldo/ itself
    std::string playerDir;             // ends in '/'; "Kobuldo/" for the working copy, else absolute;
                                       // empty when no home folder could be found
    std::string configDir;             // the same for the settings: "Kobuldo/" for the working
                                       // copy, else $XDG_CONFIG_HOME/zentaro/
    std::vector<std::string> searched; // the Kobuldo/ folders looked for, in order
};

DataPaths resolveDataPaths(const DataEnvironment& env);

// The one line the game prints when the data cannot be found.
std::string missingDataMessage(const DataPaths& paths);

// A file of the game data the player may change, named relative to Kobuldo/
// (e.g. "Tracks/1.track"). It is saved to the player's folder and read from
// there when a saved copy exists, else from the game data. Paths relative to
// the data folder stay relative; the working copy reads and saves in place.
std::string playerFileSavePath(const DataPaths& paths, const std::string& relative);
std::string playerFileReadPath(const DataPaths& paths, const std::string& relative);

// Creates the folders a save to file needs; false with the reason in error.
bool makeFolderFor(const std::string& file, std::string* error);

// The paths the running game resolved at start. Until the game sets them they
// describe the working copy in the working directory (tests, tools).
const DataPaths& dataPaths();
void setDataPaths(const DataPaths& paths);

} // namespace tovi
