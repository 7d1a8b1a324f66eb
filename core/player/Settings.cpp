#include "core/player/Settings.h"

#include "core/course/CourseFile.h"
#include "core/system/DataPaths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
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

Settings::Settings(std::string path, std::ostream* log, const std::string& readFrom)
    : filePath(std::move(path)) {
    const std::string source = readFrom.empty() ? filePath : readFrom;
    std::ifstream file(source, std::ios::binary);
    std::string text(kMaxBytes + 1, '\0');
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    const bool cut = text.size() > kMaxBytes;
    if (cut)
        text.resize(kMaxBytes);
    std::istringstream in(text);
    std::string line;
    std::size_t skipped = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const std::size_t space = line.find(' ');
        const bool named = space != 0 && space != std::string::npos && line.size() <= kMaxLine;
        std::string key = named ? line.substr(0, space) : std::string();
        std::string value = named ? line.substr(space + 1) : std::string();
        const bool room = values.size() < kMaxEntries || values.count(key) != 0;
        if (named && room && plainText(key) && plainText(value))
            values[key] = value;
        else
            ++skipped;
    }
    if (log != nullptr && cut)
        *log << "Settings: " << source << " is larger than " << kMaxBytes / 1024
             << " KB: only its start was read" << std::endl;
    if (log != nullptr && skipped > 0)
        *log << "Settings: skipped " << skipped << (skipped == 1 ? " line" : " lines") << " of " << source
             << " that " << (skipped == 1 ? "is" : "are") << " not a name and a value" << std::endl;
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
    const std::string folder = dataPaths().configDir;
    return folder.empty() ? std::string() : folder + "settings.txt";
}

Settings loadPlayerSettings(std::ostream& log) {
    namespace fs = std::filesystem;
    const std::string path = settingsPath();
    const std::string folder = playerDataDir();
    const std::string old = folder.empty() ? std::string() : folder + "settings.txt";
    std::error_code error;
    if (path.empty() || old.empty() || old == path || fs::exists(path, error) || !fs::exists(old, error))
        return Settings(path, &log);
    std::string why;
    if (makeFolderFor(path, &why)) {
        fs::rename(old, path, error);
        if (!error) {
            log << "Settings: moved " << old << " to " << path << std::endl;
            return Settings(path, &log);
        }
        why = error.message();
    }
    log << "Settings: could not move " << old << " to " << path << " (" << why << "): read where it is"
        << std::endl;
    return Settings(path, &log, old);
}

} // namespace tovi
