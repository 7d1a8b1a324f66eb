#include "core/system/DataPaths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace tovi {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDataFolder = "Kobuldo";

bool isAbsolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// The base folder for user data or configuration files: the XDG variable
// when it is an absolute path (a relative or empty one is ignored), else
// that folder under the home folder (~/.local/share, ~/.config).
std::string userHome(const DataEnvironment& env, const std::string& xdgValue, const fs::path& underHome) {
    if (isAbsolute(xdgValue))
        return xdgValue;
    for (const std::string& home : {env.home, env.accountHome}) {
        if (isAbsolute(home))
            return (fs::path(home) / underHome).string();
    }
    return {};
}

std::string accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr)
        return {};
    return found->pw_dir;
}

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

DataPaths workingDirectoryDefaults() {
    DataPaths paths;
    paths.found = true;
    paths.workingCopy = true;
    paths.playerDir = std::string(kDataFolder) + "/";
    paths.configDir = paths.playerDir;
    return paths;
}

DataPaths& current() {
    static DataPaths paths = workingDirectoryDefaults();
    return paths;
}

} // namespace

DataEnvironment currentDataEnvironment() {
    DataEnvironment env;
    std::error_code error;
    env.workingDir = fs::current_path(error).string();
    env.executable = fs::read_symlink("/proc/self/exe", error).string();
    if (error)
        env.executable.clear();
    env.xdgDataHome = variable("XDG_DATA_HOME");
    env.xdgConfigHome = variable("XDG_CONFIG_HOME");
    env.home = variable("HOME");
    env.accountHome = accountHome();
    env.writable = [](const std::string& folder) { return ::access(folder.c_str(), W_OK) == 0; };
    return env;
}

DataPaths resolveDataPaths(const DataEnvironment& env) {
    DataPaths paths;
    const fs::path here = fs::path(env.workingDir).lexically_normal();
    fs::path installed;
    if (isAbsolute(env.executable))
        installed =
            (fs::path(env.executable).parent_path().parent_path() / "share" / "zentaro").lexically_normal();

    std::vector<fs::path> candidates{here};
    if (!installed.empty())
        candidates.push_back(installed);
    for (const fs::path& folder : candidates) {
        const fs::path data = folder / kDataFolder;
        paths.searched.push_back(data.string());
        if (!paths.found && isFolder(data)) {
            paths.found = true;
            paths.dataDir = folder.string();
        }
    }
    if (!paths.found)
        return paths;

    // The working directory's copy is the player's own when the game may write
    // there and it is not the installed data itself (a game started from
    // inside its installation).
    const fs::path data = fs::path(paths.dataDir) / kDataFolder;
    const fs::path tracks = data / "Tracks";
    auto writable = [&env](const fs::path& folder) { return env.writable && env.writable(folder.string()); };
    paths.workingCopy = paths.dataDir == here.string() &&
                        !(!installed.empty() && sameFolder(here, installed)) && writable(data) &&
                        (!isFolder(tracks) || writable(tracks));
    if (paths.workingCopy) {
        paths.playerDir = paths.configDir = std::string(kDataFolder) + "/";
    } else {
        const std::string data = userHome(env, env.xdgDataHome, fs::path(".local") / "share");
        if (!data.empty())
            paths.playerDir = (fs::path(data) / "zentaro" / "").lexically_normal().string();
        const std::string config = userHome(env, env.xdgConfigHome, ".config");
        if (!config.empty())
            paths.configDir = (fs::path(config) / "zentaro" / "").lexically_normal().string();
    }
    return paths;
}

std::string missingDataMessage(const DataPaths& paths) {
    std::string message = "Cannot find the game data: no folder ";
    for (std::size_t i = 0; i < paths.searched.size(); ++i) {
        if (i > 0)
            message += i + 1 == paths.searched.size() ? " or " : ", ";
        message += paths.searched[i];
    }
    return message;
}

std::string playerFileSavePath(const DataPaths& paths, const std::string& relative) {
    if (paths.playerDir.empty())
        return {};
    return paths.playerDir + relative;
}

std::string playerFileReadPath(const DataPaths& paths, const std::string& relative) {
    const std::string installed = std::string(kDataFolder) + "/" + relative;
    if (paths.workingCopy)
        return installed;
    const std::string saved = playerFileSavePath(paths, relative);
    std::error_code error;
    if (!saved.empty() && fs::exists(saved, error))
        return saved;
    return installed;
}

bool makeFolderFor(const std::string& file, std::string* error) {
    const fs::path folder = fs::path(file).parent_path();
    if (folder.empty())
        return true;
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (!failure && isFolder(folder))
        return true;
    if (error != nullptr)
        *error = "cannot create the folder " + folder.string() + ": " +
                 (failure ? failure.message() : std::string("a file of that name is in the way"));
    return false;
}

const DataPaths& dataPaths() {
    return current();
}

void setDataPaths(const DataPaths& paths) {
    current() = paths;
}

} // namespace tovi
