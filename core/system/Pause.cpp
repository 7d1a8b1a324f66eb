#include "core/system/Pause.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <utility>

namespace tovi {

namespace {
std::function<void()>& beforeFatalExit() {
    static std::function<void()> stop;
    return stop;
}
} // namespace

void setBeforeFatalExit(std::function<void()> stop) {
    beforeFatalExit() = std::move(stop);
}

void pauseForKey() {
    std::cout.flush();
    if (isatty(STDIN_FILENO)) {
        std::cout << "Press Enter to continue . . ." << std::endl;
        std::string line;
        std::getline(std::cin, line);
    }
}

void pauseAndExit(int status) {
    pauseForKey();
    if (std::function<void()> stop = std::move(beforeFatalExit()))
        stop();
    std::cout.flush();
    std::exit(status);
}

} // namespace tovi
