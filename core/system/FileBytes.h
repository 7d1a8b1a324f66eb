#pragma once
// Reading a whole (small) file into memory, with a size limit checked while
// reading, so a huge file is refused without being read.
#include <cstddef>
#include <string>

namespace tovi {

enum class FileRead {
    Read,       // bytes hold the whole file
    Missing,    // there is no such file
    Unreadable, // it exists but cannot be read (no permission, a folder, ...)
    TooLarge,   // it holds more than the limit
};

// Replaces bytes with the file's contents; on anything but Read, bytes is
// left empty.
FileRead readFileBytes(const std::string& path, std::size_t limit, std::string& bytes);

} // namespace tovi
