#pragma once
// Helpers shared by the fuzz targets: the readers take a path, so each input
// is written to one scratch file per process first.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zentaro_fuzz {

inline const std::string& scratchPath(const char* extension) {
    static const std::string path = [extension] {
        const std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("zentaro_fuzz_" + std::to_string(getpid()) + extension);
        return p.string();
    }();
    return path;
}

inline void removeScratch() {
    std::error_code ec;
    std::filesystem::remove(scratchPath(""), ec);
}

// Writes the input to the scratch file and returns its path.
inline const std::string& writeInput(const std::uint8_t* data, std::size_t size, const char* extension) {
    const std::string& path = scratchPath(extension);
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(removeScratch);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        std::abort();
    std::fclose(f);
    return path;
}

// The loaders report bad files on standard output; keep the fuzzer's own
// report (on standard error) readable.
inline void silenceStdout() {
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
}

// A broken expectation is a finding: stop with a clear reason.
inline void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

} // namespace zentaro_fuzz
