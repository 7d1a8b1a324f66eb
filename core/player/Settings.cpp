#include "core/player/Settings.h"

#include "core/course/CourseFile.h"
#include "core/system/DataPaths.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tovi {

namespace {

constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxEntries = 256;

bool plainText(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

} // namespace

Settings::Settings(std::string path) : filePath(std::move(path)) {
    std::ifstream in(filePath, std::ios::binary);
    std::string line;
    while (values.size() < kMaxEntries && std::getline(in, line)) {
        if (line.size() > kMaxLine)
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t space = line.find(' ');
        if (space == 0 || space == std::string::npos)
            continue;
        std::string key = line.substr(0, space);
        std::string value = line.substr(space + 1);
        if (plainText(key) && plainText(value))
            values[key] = value;
    }
}

std::string Settings::get(const std::string& key, const std::string& fallback) const {
    auto found = values.find(key);
    return found == values.end() ? fallback : found->second;
}

int Settings::getInt(const std::string& key, int fallback, int min, int max) const {
    const std::string text = get(key, "");
    if (text.empty())
        return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < min || value > max)
        return fallback;
    return static_cast<int>(value);
}

void Settings::set(const std::string& key, const std::string& value) {
    if (key.empty() || key.find(' ') != std::string::npos || !plainText(key) || !plainText(value))
        return;
    values[key] = value;
}

bool Settings::save(std::ostream& log) {
    if (filePath.empty()) {
        log << "Could not save the settings: there is no folder for the player's files (HOME is not set)"
            << std::endl;
        return false;
    }
    std::ostringstream text;
    for (const auto& [key, value] : values)
        text << key << ' ' << value << '\n';
    std::string error;
    if (makeFolderFor(filePath, &error) && writeFileAtomically(filePath, text.str(), &error))
        return true;
    log << "Could not save the settings to " << filePath << ": " << error << std::endl;
    return false;
}

std::string playerDataDir() {
    return dataPaths().playerDir;
}

std::string settingsPath() {
    const std::string folder = playerDataDir();
    return folder.empty() ? std::string() : folder + "settings.txt";
}

} // namespace tovi
