#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovi {

// A sound as plain 16-bit samples, channels interleaved.
struct WavSound {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};

// Reads a RIFF WAVE file of 16-bit PCM, mono or stereo (the game's sounds).
// Other chunks are skipped. False with a reason in error when the file cannot
// be read or is not such a file; a data chunk cut short keeps what is there.
bool readWav(const std::string& path, WavSound& out, std::string& error);
bool parseWav(const std::vector<unsigned char>& bytes, WavSound& out, std::string& error);

} // namespace tovi
