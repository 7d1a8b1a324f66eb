#include "core/system/DataPaths.h"

#include "tests/core/TestFakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;
using tovi::testing::TempDir;
using tovi::testing::writeText;

namespace {

// An installed game under dir/usr (bin/zentaro, share/zentaro/Kobuldo) and a
// working directory dir/elsewhere; every folder writable unless listed.
struct Layout {
    Layout() {
        fs::create_directories(dir.path / "usr/bin");
        fs::create_directories(installed() + "/Kobuldo/Tracks");
        fs::create_directories(dir.path / "elsewhere");
        env.workingDir = dir.file("elsewhere");
        env.executable = dir.file("usr/bin/zentaro");
        env.home = dir.file("home");
        env.writable = [this](const std::string& folder) { return readOnly.count(folder) == 0; };
    }
    std::string installed() const { return dir.file("usr/share/zentaro"); }
    tovi::DataPaths resolve() const { return tovi::resolveDataPaths(env); }

    TempDir dir;
    tovi::DataEnvironment env;
    std::set<std::string> readOnly;
};

TEST(DataPaths, WorkingCopyComesFirstAndKeepsThePlayersFiles) {
    Layout layout;
    const std::string here = layout.env.workingDir;
    fs::create_directories(here + "/Kobuldo/Tracks");
    tovi::DataPaths paths = layout.resolve();
    ASSERT_TRUE(paths.found);
    EXPECT_EQ(paths.dataDir, here);
    EXPECT_TRUE(paths.workingCopy);
    EXPECT_EQ(paths.playerDir, "Kobuldo/");
    EXPECT_EQ(paths.configDir, "Kobuldo/");
    EXPECT_EQ(tovi::playerFileReadPath(paths, "Tracks/1.track"), "Kobuldo/Tracks/1.track");
    EXPECT_EQ(tovi::playerFileSavePath(paths, "Tracks/1.track"), "Kobuldo/Tracks/1.track");

    // A copy the game may not write to is data only: saves go to the user's folder.
    for (const std::string& readOnly : {here + "/Kobuldo", here + "/Kobuldo/Tracks"}) {
        layout.readOnly = {readOnly};
        paths = layout.resolve();
        EXPECT_EQ(paths.dataDir, here) << readOnly;
        EXPECT_FALSE(paths.workingCopy) << readOnly;
        EXPECT_EQ(paths.playerDir, layout.dir.file("home/.local/share/zentaro/")) << readOnly;
    }

    // Started from inside the installation: still the installed data, never written.
    layout.readOnly.clear();
    layout.env.workingDir = layout.installed();
    paths = layout.resolve();
    EXPECT_EQ(paths.dataDir, layout.installed());
    EXPECT_FALSE(paths.workingCopy);
}

TEST(DataPaths, InstalledDataBesideTheProgramAndTheUsersFolder) {
    Layout layout;
    const std::string home = layout.dir.file("home");
    struct Case {
        std::string xdg, home, account, player;
    } cases[] = {
        {"", home, "", home + "/.local/share/zentaro/"},
        {"/srv/data/", home, "", "/srv/data/zentaro/"},
        {"relative/data", home, "", home + "/.local/share/zentaro/"}, // relative: ignored
        {"", "", "/home/account", "/home/account/.local/share/zentaro/"},
        {"", "not/absolute", "/home/account", "/home/account/.local/share/zentaro/"},
        {"", "", "", ""}, // nowhere to save
    };
    for (const Case& c : cases) {
        layout.env.xdgDataHome = c.xdg;
        layout.env.home = c.home;
        layout.env.accountHome = c.account;
        const tovi::DataPaths paths = layout.resolve();
        ASSERT_TRUE(paths.found);
        EXPECT_EQ(paths.dataDir, layout.installed());
        EXPECT_FALSE(paths.workingCopy);
        EXPECT_EQ(paths.playerDir, c.player) << "XDG_DATA_HOME '" << c.xdg << "' HOME '" << c.home << "'";
        // The settings follow the same rule under $XDG_CONFIG_HOME and ~/.config.
        layout.env.xdgConfigHome = c.xdg;
        std::string config = c.player;
        if (c.xdg.empty() || c.xdg[0] != '/')
            config = c.player.empty() ? "" : config.replace(config.find(".local/share"), 12, ".config");
        EXPECT_EQ(layout.resolve().configDir, config) << "XDG_CONFIG_HOME '" << c.xdg << "'";
        layout.env.xdgConfigHome.clear();
    }

    // A relocated installation is found the same way.
    fs::rename(layout.dir.path / "usr", layout.dir.path / "opt");
    layout.env.executable = layout.dir.file("opt/bin/../bin/zentaro");
    EXPECT_EQ(layout.resolve().dataDir, layout.dir.file("opt/share/zentaro"));
}

TEST(DataPaths, MissingDataNamesThePlacesSearched) {
    Layout layout;
    fs::remove_all(layout.installed());
    tovi::DataPaths paths = layout.resolve();
    EXPECT_FALSE(paths.found);
    EXPECT_EQ(tovi::missingDataMessage(paths), "Cannot find the game data: no folder " +
                                                   layout.dir.file("elsewhere/Kobuldo") + " or " +
                                                   layout.dir.file("usr/share/zentaro/Kobuldo"));
    layout.env.executable.clear();
    EXPECT_EQ(layout.resolve().searched, std::vector<std::string>{layout.dir.file("elsewhere/Kobuldo")});
}

TEST(DataPaths, PlayersCopyIsReadWhenSavedAndFoldersAreMadeOnSave) {
    Layout layout;
    const tovi::DataPaths paths = layout.resolve();
    const std::string saved = tovi::playerFileSavePath(paths, "Tracks/1.track");
    EXPECT_EQ(saved, layout.dir.file("home/.local/share/zentaro/Tracks/1.track"));
    EXPECT_EQ(tovi::playerFileReadPath(paths, "Tracks/1.track"), "Kobuldo/Tracks/1.track");

    std::string error;
    ASSERT_TRUE(tovi::makeFolderFor(saved, &error)) << error;
    writeText(saved, "besttime 1\n");
    EXPECT_EQ(tovi::playerFileReadPath(paths, "Tracks/1.track"), saved);

    // A file where the folder should be: no save, and the reason.
    writeText(layout.dir.file("plain"), "");
    EXPECT_FALSE(tovi::makeFolderFor(layout.dir.file("plain/Tracks/1.track"), &error));
    EXPECT_NE(error.find(layout.dir.file("plain/Tracks")), std::string::npos) << error;

    tovi::DataPaths nowhere = paths;
    nowhere.playerDir.clear();
    EXPECT_EQ(tovi::playerFileSavePath(nowhere, "Tracks/1.track"), "");
    EXPECT_EQ(tovi::playerFileReadPath(nowhere, "Tracks/1.track"), "Kobuldo/Tracks/1.track");
}

} // namespace
