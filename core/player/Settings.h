#pragma once
// The player's small saved choices (the chosen course, the volume, ...) as
// "key value" lines in a text file of their own.
#include <map>
#include <ostream>
#include <string>

namespace tovi {

class Settings {
  public:
    // Reads the file when it exists. Lines without a key, and keys or values
    // with control characters, are ignored; the game starts with defaults.
    explicit Settings(std::string path);

    std::string get(const std::string& key, const std::string& fallback) const;
    // The value as a whole number within [min, max], else fallback.
    int getInt(const std::string& key, int fallback, int min, int max) const;
    // Keys are single words; values end at the line's end.
    void set(const std::string& key, const std::string& value);

    // Replaces the file atomically, creating its folder; false with one
    // message on log when it cannot be written (the game goes on).
    bool save(std::ostream& log);

    const std::string& path() const { return filePath; }

  private:
    std::string filePath;
    std::map<std::string, std::string> values;
};

// The folder of the player's own files (settings, saved courses, ghosts),
// with a trailing slash: the game data's writable working copy "Kobuldo/", or
// for installed data the user's $XDG_DATA_HOME/zentaro/ (see DataPaths.h).
// Empty when there is nowhere to save.
std::string playerDataDir();
// playerDataDir() + "settings.txt"; empty when there is nowhere to save.
std::string settingsPath();

} // namespace tovi
