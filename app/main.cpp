#include "app/Game.h"

int main(int argc, char** argv) {
    return tovi::runGame(argc, argv);
}
