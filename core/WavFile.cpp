#include "core/WavFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace tovi {

namespace {

uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// A game sound has no business being longer than this.
constexpr size_t kMaxBytes = 64u << 20;

} // namespace

bool parseWav(const std::vector<unsigned char>& bytes, WavSound& out, std::string& error) {
    const size_t size = bytes.size();
    const unsigned char* b = bytes.data();
    if (size < 12 || std::memcmp(b, "RIFF", 4) != 0 || std::memcmp(b + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= size) {
        const unsigned char* chunk = b + at;
        const size_t length = le32(chunk + 4);
        const size_t body = at + 8;
        const size_t available = std::min(length, size - body);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < 16) {
                error = "format chunk too short";
                return false;
            }
            const uint16_t tag = le16(b + body);
            const int channels = le16(b + body + 2);
            const uint32_t rate = le32(b + body + 4);
            const int bits = le16(b + body + 14);
            // Extensible files name plain PCM in the first two bytes of the
            // sub-format; the rest of that identifier is fixed.
            const bool extensiblePcm =
                tag == kFormatExtensible && available >= 26 && le16(b + body + 24) == 1;
            if ((tag != kFormatPcm && !extensiblePcm) || bits != 16) {
                error = "only 16-bit PCM is supported";
                return false;
            }
            if ((channels != 1 && channels != 2) || rate < 1000 || rate > 192000) {
                error = "unsupported channels or rate";
                return false;
            }
            out.channels = channels;
            out.rate = static_cast<int>(rate);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = "data before the format chunk";
                return false;
            }
            const size_t frames = available / (2u * static_cast<size_t>(out.channels));
            if (frames == 0) {
                error = "no samples";
                return false;
            }
            out.samples.resize(frames * static_cast<size_t>(out.channels));
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = static_cast<int16_t>(le16(b + body + 2 * i));
            return true;
        }
        // Chunks are padded to an even length.
        if (length > size - body)
            break;
        at = body + length + (length & 1u);
    }
    error = haveFormat ? "no data chunk" : "no format chunk";
    return false;
}

bool readWav(const std::string& path, WavSound& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the file";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0 || static_cast<uint64_t>(length) > kMaxBytes) {
        error = "cannot read the file or it is too large";
        return false;
    }
    in.seekg(0, std::ios::beg);
    std::vector<unsigned char> bytes(static_cast<size_t>(length));
    if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length)) {
        error = "cannot read the file";
        return false;
    }
    return parseWav(bytes, out, error);
}

} // namespace tovi
