#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tovi {

// A sound as the mixer plays it: 16-bit samples, mono or stereo, channels
// interleaved.
struct DecodedSound {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};

// Decodes a sound file held in memory: any encoding libsndfile reads (WAV of
// every sample format, FLAC, Ogg Vorbis, AIFF, ...), recognised by its
// content. Samples are converted to 16 bits; more than two channels are mixed
// down to one. False with a reason in error when the bytes are no sound the
// library can decode, or one too long or of an unusable rate.
bool decodeSound(const std::string& bytes, DecodedSound& out, std::string& error);

// Reads the sound <base>.wav, <base>.ogg or <base>.flac, the first of them
// that exists, into out. path is set to the file used (to base when none
// exists). False with a reason in error when none exists or the file cannot
// be read or decoded.
bool readSound(const std::string& base, DecodedSound& out, std::string& path, std::string& error);

} // namespace tovi
