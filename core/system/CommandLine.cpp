#include "core/system/CommandLine.h"

#include "core/system/DataPaths.h"

#include <cstring>
#include <sstream>
#include <string>

#ifndef ZENTARO_VERSION
#define ZENTARO_VERSION "unknown"
#endif

namespace tovi {

CommandLineResult parseCommandLine(int argc, const char* const* argv, std::ostream& out) {
    CommandLineResult r;
    if (argv == nullptr)
        return r;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] != nullptr && std::strcmp(argv[i], "--help") == 0)
            r.showHelp = true;
        if (argv[i] != nullptr && std::strcmp(argv[i], "--version") == 0)
            r.showVersion = true;
    }
    if (r.showHelp || r.showVersion || argc < 3)
        return r;
    out << "you are executing '" << (argv[0] ? argv[0] : "") << "'" << std::endl;

    {
        std::istringstream in(argv[1] ? argv[1] : "");
        int w = 0;
        if (!(in >> w)) {
            out << "Fail in first command line!" << std::endl;
            r.ok = false;
            r.exitStatus = 1;
            return r;
        }
        r.width = w;
    }
    {
        std::istringstream in(argv[2] ? argv[2] : "");
        int h = 0;
        if (!(in >> h)) {
            out << "Fail in second command line!" << std::endl;
            r.ok = false;
            r.exitStatus = 1;
            return r;
        }
        r.height = h;
    }
    if (argc >= 4) {
        std::istringstream in(argv[3] ? argv[3] : "");
        bool f = false;
        if (!(in >> f)) {
            out << "Fail in thrid command line!" << std::endl;
            r.ok = false;
            r.exitStatus = 1;
            return r;
        }
        r.flag = f;
    }
    return r;
}

std::string usageText(const DataPaths& paths) {
    std::ostringstream text;
    text << "Usage: zentaro [WIDTH HEIGHT [FLAG]]\n"
            "       zentaro --help | --version\n"
            "Zentaro: roll the ball down the course, pass every ring, beat the best time.\n"
            "\n"
            "  WIDTH HEIGHT  size of the window in pixels, both or neither (default 1000 780)\n"
            "  FLAG          0 or 1; checked, but it changes nothing in the game\n"
            "  --help        print this help and exit\n"
            "  --version     print the version and exit\n"
            "\n"
            "Game data: the folder Kobuldo/ in the working directory when there is one,\n"
            "else the installed one in <prefix>/share/zentaro/ beside <prefix>/bin/zentaro.\n"
            "Saves (courses with their best times, settings): into a Kobuldo/ in the\n"
            "working directory that the game may write to; for installed data, into\n"
            "$XDG_DATA_HOME/zentaro/ (by default ~/.local/share/zentaro/), made on the\n"
            "first save. A course saved there is played in place of the installed one.\n"
            "The settings then go to $XDG_CONFIG_HOME/zentaro/settings.txt (by default\n"
            "~/.config/zentaro/). A WIDTH and HEIGHT given here hold for this run only.\n"
            "\n";
    if (!paths.found) {
        text << missingDataMessage(paths) << "\n";
        return text.str();
    }
    text << "Here: game data " << paths.dataDir << "/Kobuldo/, saves ";
    if (paths.workingCopy)
        text << paths.dataDir << "/" << paths.playerDir << "\n";
    else if (!paths.playerDir.empty())
        text << paths.playerDir << "\n";
    else
        text << "nowhere (no home folder is known)\n";
    return text.str();
}

std::string versionText() {
    return std::string("Zentaro ") + ZENTARO_VERSION + "\n";
}

} // namespace tovi
