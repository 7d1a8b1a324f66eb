#include "core/Pause.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace tovi {

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
    std::cout.flush();
    std::exit(status);
}

} // namespace tovi
