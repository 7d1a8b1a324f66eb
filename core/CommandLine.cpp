#include "core/CommandLine.h"

#include <sstream>
#include <string>

namespace tovi {

CommandLineResult parseCommandLine(int argc, const char* const* argv, std::ostream& out) {
    CommandLineResult r;
    if (argc < 3 || argv == nullptr)
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

} // namespace tovi
