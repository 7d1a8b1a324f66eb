#include "core/system/FileBytes.h"

#include <cerrno>
#include <cstdio>

namespace tovi {

FileRead readFileBytes(const std::string& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return errno == ENOENT ? FileRead::Missing : FileRead::Unreadable;
    char buffer[4096];
    std::size_t got = 0;
    bool tooLarge = false;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (got > limit - bytes.size()) {
            tooLarge = true;
            break;
        }
        bytes.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0; // e.g. the path is a folder
    std::fclose(file);
    if (tooLarge || failed) {
        bytes.clear();
        return tooLarge ? FileRead::TooLarge : FileRead::Unreadable;
    }
    return FileRead::Read;
}

} // namespace tovi
