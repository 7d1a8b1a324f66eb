#pragma once
// The player's small saved choices (the chosen course, the volume, ...) as
// "key value" lines in a text file of their own.
#include <cstddef>
#include <map>
#include <ostream>
#include <string>

namespace tovi {

class Settings {
  public:
    // Reads the file when it exists (from readFrom instead when given; it is
    // still saved to path). Only its first kMaxBytes are read; lines without
    // a key, keys or values with control characters and lines past
    // kMaxEntries are skipped, with one line on log saying how many. The
    // game starts with defaults for what is missing.
    explicit Settings(std::string path, std::ostream* log = nullptr, const std::string& readFrom = "");
    static constexpr std::size_t kMaxBytes = 64 * 1024;

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

// The folder of the player's own files (saved courses, ghosts), with a
// trailing slash: the game data's writable working copy "Kobuldo/", or for
// installed data the user's $XDG_DATA_HOME/zentaro/ (see DataPaths.h).
// Empty when there is nowhere to save.
std::string playerDataDir();
// The player's settings file: settings.txt in the working copy, else in
// $XDG_CONFIG_HOME/zentaro/; empty when there is nowhere to save.
std::string settingsPath();

// The settings as the game starts with them. A settings.txt left in the
// player's data folder by an older game is moved to settingsPath() once
// (read where it is, and left there, when the move fails); log hears of
// the move and of any trouble.
Settings loadPlayerSettings(std::ostream& log);

} // namespace tovi
