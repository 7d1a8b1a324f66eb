// The sound decoder the game reads every sound with, on arbitrary bytes: it
// either refuses with a reason or returns a sound the mixer can play.
#include "FuzzInput.h"
#include "core/media/SoundFile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using zentaro_fuzz::check;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tovi::DecodedSound sound;
    std::string error;
    if (!tovi::decodeSound(bytes, sound, error)) {
        check(!error.empty(), "a refused sound says why");
        check(sound.samples.empty(), "a refused sound leaves the caller's sound alone");
        return 0;
    }
    check(sound.channels == 1 || sound.channels == 2, "mono or stereo");
    check(sound.rate >= 1000 && sound.rate <= 192000, "a usable rate");
    check(!sound.samples.empty() && sound.samples.size() % static_cast<std::size_t>(sound.channels) == 0,
          "whole frames");
    return 0;
}
