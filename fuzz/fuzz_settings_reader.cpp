// Settings reader on arbitrary bytes: no crash, every option it keeps is in
// its range, no two actions share a key in one mode, and what was read comes
// back the same after a save (the game saves on every change).
#include "FuzzInput.h"
#include "core/player/PlayerOptions.h"
#include "core/player/Settings.h"

#include <algorithm>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using zentaro_fuzz::check;
    using tovi::Action;
    const std::string& path = zentaro_fuzz::writeInput(data, size, ".txt");
    std::ostringstream log;
    tovi::Settings settings(path, &log);
    tovi::PlayerOptions options;
    options.load(settings, log);
    check(options.mouseSpeed >= 1 && options.mouseSpeed <= tovi::PlayerOptions::kMaxMouseSpeed, "mouse speed");
    check(options.deadZone >= 0 && options.deadZone <= tovi::PlayerOptions::kMaxDeadZone, "dead zone");
    check(std::find(options.kFrameCaps.begin(), options.kFrameCaps.end(), options.frameCap) !=
              options.kFrameCaps.end(),
          "frame cap");
    for (std::size_t i = 0; i < tovi::kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const int key = options.keys.key(action);
        if (key >= 0)
            check(!options.keys.holderOf(key, action).taken, "a key bound twice in one mode, or a kept key");
    }
    options.store(settings);
    std::ostringstream quiet;
    check(settings.save(quiet), "the settings could not be saved");
    tovi::Settings again(path, &quiet);
    tovi::PlayerOptions back;
    back.load(again, quiet);
    for (std::size_t i = 0; i < tovi::kActionCount; ++i)
        check(back.keys.key(static_cast<Action>(i)) == options.keys.key(static_cast<Action>(i)),
              "a binding changed by a save");
    check(back.mouseSpeed == options.mouseSpeed && back.deadZone == options.deadZone &&
              back.frameCap == options.frameCap && back.vsync == options.vsync &&
              back.invertY == options.invertY && back.windowWidth == options.windowWidth,
          "an option changed by a save");
    return 0;
}
