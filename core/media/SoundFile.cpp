#include "core/media/SoundFile.h"

#include "core/system/FileBytes.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace tovi {

namespace {

// A game sound has no business being larger or longer than these.
constexpr std::size_t kMaxBytes = 64u << 20;
constexpr sf_count_t kMaxSeconds = 300;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;

// libsndfile reads the bytes through these callbacks, so the same path serves
// files and the fuzz target.
struct MemoryFile {
    const std::string& bytes;
    sf_count_t at = 0;
};

sf_count_t memoryLength(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t size = static_cast<sf_count_t>(f->bytes.size());
    sf_count_t base = whence == SEEK_CUR ? f->at : whence == SEEK_END ? size : 0;
    // Past either end is clamped: the library only learns that it ran short.
    if (offset < -base)
        f->at = 0;
    else if (offset > size - base)
        f->at = size;
    else
        f->at = base + offset;
    return f->at;
}

sf_count_t memoryRead(void* to, sf_count_t count, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t left = static_cast<sf_count_t>(f->bytes.size()) - f->at;
    const sf_count_t n = std::clamp<sf_count_t>(count, 0, left);
    if (n > 0)
        std::memcpy(to, f->bytes.data() + f->at, static_cast<std::size_t>(n));
    f->at += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t memoryTell(void* user) {
    return static_cast<MemoryFile*>(user)->at;
}

struct CloseSoundFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// The library's reason, without its closing full stop.
std::string reason(SNDFILE* file) {
    std::string text = sf_strerror(file);
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

int16_t toSample(float value) {
    if (!std::isfinite(value))
        return 0;
    return static_cast<int16_t>(std::lrint(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

} // namespace

bool decodeSound(const std::string& bytes, DecodedSound& out, std::string& error) {
    MemoryFile memory{bytes};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    std::unique_ptr<SNDFILE, CloseSoundFile> file(sf_open_virtual(&io, SFM_READ, &info, &memory));
    if (!file) {
        error = "not a sound file that can be decoded (" + reason(nullptr) + ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < kMinRate || info.samplerate > kMaxRate) {
        error = "unusable channel count or sample rate";
        return false;
    }
    // A file with more than two channels (surround) is heard as one.
    const int channels = info.channels <= 2 ? info.channels : 1;
    const sf_count_t maxFrames = kMaxSeconds * info.samplerate;
    std::vector<float> block(static_cast<std::size_t>(4096) * static_cast<std::size_t>(info.channels));
    std::vector<int16_t> samples;
    for (;;) {
        const sf_count_t frames = sf_readf_float(file.get(), block.data(), 4096);
        if (frames <= 0)
            break;
        if (static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels)) + frames >
            maxFrames) {
            error = "longer than " + std::to_string(kMaxSeconds) + " seconds";
            return false;
        }
        for (sf_count_t i = 0; i < frames; ++i) {
            const float* frame = block.data() + i * info.channels;
            if (channels == info.channels) {
                for (int c = 0; c < channels; ++c)
                    samples.push_back(toSample(frame[c]));
            } else {
                float sum = 0.0f;
                for (int c = 0; c < info.channels; ++c)
                    sum += frame[c];
                samples.push_back(toSample(sum / static_cast<float>(info.channels)));
            }
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR && samples.empty()) {
        error = "cannot be decoded (" + reason(file.get()) + ")";
        return false;
    }
    if (samples.empty()) {
        error = "no samples";
        return false;
    }
    out.rate = info.samplerate;
    out.channels = channels;
    out.samples = std::move(samples);
    return true;
}

bool readSound(const std::string& base, DecodedSound& out, std::string& path, std::string& error) {
    for (const char* extension : {".wav", ".ogg", ".flac"}) {
        path = base + extension;
        std::string bytes;
        switch (readFileBytes(path, kMaxBytes, bytes)) {
        case FileRead::Missing:
            continue;
        case FileRead::Unreadable:
            error = "cannot read the file";
            return false;
        case FileRead::TooLarge:
            error = "larger than " + std::to_string(kMaxBytes >> 20) + " MiB";
            return false;
        case FileRead::Read:
            return decodeSound(bytes, out, error);
        }
    }
    path = base;
    error = "no .wav, .ogg or .flac file";
    return false;
}

} // namespace tovi
