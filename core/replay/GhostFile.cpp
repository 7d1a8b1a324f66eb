#include "core/replay/GhostFile.h"

#include "core/system/FileBytes.h"

#include <cmath>
#include <cstring>

namespace tovi {

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'N', 'G', 'H', 'O', 'S', 'T'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8 + 4 + 8 + 8 + 4 + 4;
constexpr std::size_t kSplitSize = 8;
constexpr std::size_t kSampleSize = 7 * 4;
// A turn is stored as a unit quaternion; further off than this it is not one
// the game wrote.
constexpr float kUnitTolerance = 0.01f;

class ByteWriter {
  public:
    void raw(const char* data, std::size_t size) { bytes.append(data, size); }
    void u32(std::uint32_t value) { unsigned64(value, 4); }
    void u64(std::uint64_t value) { unsigned64(value, 8); }
    void f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        u32(bits);
    }
    void f64(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, 8);
        u64(bits);
    }
    std::string bytes;

  private:
    void unsigned64(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
    }
};

// Reads little-endian values from a buffer whose size was checked before.
class ByteReader {
  public:
    explicit ByteReader(const std::string& b) : bytes(b) {}
    std::uint32_t u32() { return static_cast<std::uint32_t>(unsigned64(4)); }
    std::uint64_t u64() { return unsigned64(8); }
    float f32() {
        const std::uint32_t bits = u32();
        float value = 0.0f;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    double f64() {
        const std::uint64_t bits = u64();
        double value = 0.0;
        std::memcpy(&value, &bits, 8);
        return value;
    }
    void skip(std::size_t size) { pos += size; }

  private:
    std::uint64_t unsigned64(int size) {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[pos + i])) << (8 * i);
        pos += static_cast<std::size_t>(size);
        return value;
    }
    const std::string& bytes;
    std::size_t pos = 0;
};

// 64-bit FNV-1a.
std::uint64_t hashBytes(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

bool readSample(ByteReader& reader, GhostPose& pose) {
    float values[7];
    for (float& value : values) {
        value = reader.f32();
        if (!std::isfinite(value))
            return false;
    }
    pose.position = glm::vec3(values[0], values[1], values[2]);
    const glm::quat turn(values[3], values[4], values[5], values[6]);
    const float length = glm::length(turn);
    if (!(std::fabs(length - 1.0f) <= kUnitTolerance))
        return false;
    pose.orientation = turn / length;
    return true;
}

} // namespace

std::string ghostPathFor(const std::string& coursePath) {
    return coursePath + ".ghost";
}

std::uint64_t courseFingerprint(const std::vector<CoursePiece>& pieces, const std::vector<glm::mat4>& rings,
                                const RaceStart& start) {
    // The best time is left at zero, so it never changes the fingerprint.
    return hashBytes(formatCourse(pieces, rings, 0.0, std::string(), std::nullopt, start));
}

std::size_t maxGhostFileSize() {
    return kHeaderSize + kMaxCourseEntries * kSplitSize + kGhostMaxSamples * kSampleSize;
}

std::string formatGhost(const GhostRun& run) {
    ByteWriter out;
    out.raw(kMagic, sizeof kMagic);
    out.u32(kVersion);
    out.u64(run.fingerprint);
    out.f64(run.raceTime);
    out.u32(static_cast<std::uint32_t>(run.splits.size()));
    out.u32(static_cast<std::uint32_t>(run.samples.size()));
    for (double split : run.splits)
        out.f64(split);
    for (const GhostPose& pose : run.samples) {
        out.f32(pose.position.x);
        out.f32(pose.position.y);
        out.f32(pose.position.z);
        out.f32(pose.orientation.w);
        out.f32(pose.orientation.x);
        out.f32(pose.orientation.y);
        out.f32(pose.orientation.z);
    }
    return out.bytes;
}

// Ghost file, version 1. Every number is little-endian; floating-point
// numbers are IEEE 754.
//
//   offset  size  what
//        0     8  "ZENGHOST"
//        8     4  version, 1 (unsigned)
//       12     8  fingerprint of the course the run was raced on (unsigned)
//       20     8  race time of the whole run in milliseconds (double, > 0)
//       28     4  split count S (unsigned, at most kMaxCourseEntries)
//       32     4  sample count N (unsigned, 1 to kGhostMaxSamples)
//       36   8 S  race time at 1, 2, ... S rings passed (double, from 0,
//                 never decreasing, at most the run's race time)
//   36+8S  28 N  the ball at race time k / 60 s for k = 0 .. N-1: position
//                 x, y, z and turn as a unit quaternion w, x, y, z (floats)
//
// The file is exactly that long; nothing may follow. Every number must be
// finite. A file that breaks any of this is refused whole.
bool parseGhost(const std::string& bytes, GhostRun& out, std::string& why) {
    if (bytes.size() < kHeaderSize) {
        why = "it is too short (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        why = "it is not a ghost file";
        return false;
    }
    ByteReader reader(bytes);
    reader.skip(sizeof kMagic);
    const std::uint32_t version = reader.u32();
    if (version != kVersion) {
        why = "it has version " + std::to_string(version) + ", this game reads version " +
              std::to_string(kVersion);
        return false;
    }
    GhostRun run;
    run.fingerprint = reader.u64();
    run.raceTime = reader.f64();
    const std::uint32_t splitCount = reader.u32();
    const std::uint32_t sampleCount = reader.u32();
    if (!std::isfinite(run.raceTime) || !(run.raceTime > 0.0)) {
        why = "its race time is not a positive number";
        return false;
    }
    if (splitCount > kMaxCourseEntries || sampleCount == 0 || sampleCount > kGhostMaxSamples) {
        why = "it claims " + std::to_string(splitCount) + " splits and " + std::to_string(sampleCount) +
              " samples";
        return false;
    }
    const std::size_t expected = kHeaderSize + splitCount * kSplitSize + sampleCount * kSampleSize;
    if (bytes.size() != expected) {
        why = "it holds " + std::to_string(bytes.size()) + " bytes where its counts make " +
              std::to_string(expected) + " (cut short or damaged)";
        return false;
    }
    run.splits.reserve(splitCount);
    for (std::uint32_t i = 0; i < splitCount; ++i) {
        const double split = reader.f64();
        const double previous = run.splits.empty() ? 0.0 : run.splits.back();
        if (!std::isfinite(split) || split < previous || split > run.raceTime) {
            why = "split " + std::to_string(i + 1) + " is out of order or not a number";
            return false;
        }
        run.splits.push_back(split);
    }
    run.samples.resize(sampleCount);
    for (std::uint32_t i = 0; i < sampleCount; ++i) {
        if (!readSample(reader, run.samples[i])) {
            why = "sample " + std::to_string(i) +
                  " holds a number that is not finite or a turn that is not one";
            return false;
        }
    }
    out = std::move(run);
    return true;
}

std::optional<GhostRun> loadGhost(const std::string& path, std::uint64_t fingerprint, std::ostream& log) {
    std::string bytes;
    switch (readFileBytes(path, maxGhostFileSize(), bytes)) {
    case FileRead::Missing:
        log << "No ghost for this course yet (" << path << ")\n";
        return std::nullopt;
    case FileRead::Unreadable:
        log << "Ghost file " << path << " not used: it cannot be read\n";
        return std::nullopt;
    case FileRead::TooLarge:
        log << "Ghost file " << path << " not used: it is larger than the " << maxGhostFileSize()
            << " bytes a ghost may have\n";
        return std::nullopt;
    case FileRead::Read:
        break;
    }
    GhostRun run;
    std::string why;
    if (!parseGhost(bytes, run, why)) {
        log << "Ghost file " << path << " not used: " << why << "\n";
        return std::nullopt;
    }
    if (run.fingerprint != fingerprint) {
        log << "Ghost file " << path << " not used: it was raced on another version of the course\n";
        return std::nullopt;
    }
    return run;
}

bool saveGhost(const std::string& path, const GhostRun& run, std::string* error) {
    return writeFileAtomically(path, formatGhost(run), error);
}

} // namespace tovi
