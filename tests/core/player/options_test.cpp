// The player's options and key bindings: the binding rules, the settings
// lines they are kept in, and the options screen's binding and reset steps.
#include "core/input/KeyNames.h"
#include "core/input/Keys.h"
#include "core/player/OptionsScreen.h"
#include "core/player/Settings.h"
#include "core/system/DataPaths.h"
#include "tests/core/TestFakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace tovi {
namespace {

using testing::TempDir;
using testing::writeText;

TEST(KeyNames, SettingsNamesAndLabelsOfKeys) {
    for (int code : {key::Q, key::Num3, key::Up, key::Kp0, key::F12, key::LeftControl, 348, key::Space})
        EXPECT_EQ(keyFromName(keyName(code)), code) << keyName(code);
    EXPECT_EQ(keyName(key::Kp0), "KP_0");
    EXPECT_EQ(keyLabel(key::Kp0), "Keypad 0");
    EXPECT_EQ(keyLabel(key::LeftShift), "Left Shift");
    for (const char* bad : {"", "q", "KP_", "KP_10", "F0", "F26", "F01", "NOPE", "Q "})
        EXPECT_EQ(keyFromName(bad), -1) << bad;
    EXPECT_TRUE(keyName(999).empty());
}

TEST(KeyBindings, KeysTakenInTheSameModeAreRefusedOrSwapped) {
    KeyBindings keys;
    std::string message;
    // Q is free: bound.
    EXPECT_EQ(keys.bind(Action::Pause, key::Q, false, message), KeyBindings::Outcome::Bound);
    EXPECT_EQ(keys.key(Action::Pause), key::Q);
    // V belongs to the ghost: refused naming it, swapped when asked.
    EXPECT_EQ(keys.bind(Action::Pause, key::V, false, message), KeyBindings::Outcome::Refused);
    EXPECT_NE(message.find("ghost on / off"), std::string::npos) << message;
    EXPECT_EQ(keys.bind(Action::Pause, key::V, true, message), KeyBindings::Outcome::Swapped);
    EXPECT_EQ(keys.key(Action::Pause), key::V);
    EXPECT_EQ(keys.key(Action::Ghost), key::Q);
    // Keys the game keeps are never given up, swap or not.
    for (int kept : {key::Escape, key::O, key::M, key::T, key::Kp4, key::Tab, key::L, key::F7, key::F11})
        EXPECT_EQ(keys.bind(Action::Restart, kept, true, message), KeyBindings::Outcome::Refused) << kept;
    EXPECT_EQ(keys.key(Action::Restart), key::N);
    // The editor flies with W A S D: only the pushes may have them.
    EXPECT_EQ(keys.bind(Action::Ghost, key::W, true, message), KeyBindings::Outcome::Refused);
    EXPECT_NE(message.find("editor"), std::string::npos) << message;
    // Actions that never act in one mode may share a key: Left steps the
    // course on the screens and may push left in a race.
    EXPECT_EQ(keys.bind(Action::Left, key::Left, false, message), KeyBindings::Outcome::Bound);
    EXPECT_EQ(keys.key(Action::Previous), key::Left);
    keys.reset();
    EXPECT_EQ(keys.key(Action::Pause), key::P);
    EXPECT_EQ(keys.key(Action::Left), key::A);
}

TEST(PlayerOptions, SettingsRoundTripKeepsUnknownLinesAndSkipsBadValues) {
    TempDir dir;
    const std::string path = dir.file("settings.txt");
    writeText(path, "course 3.track\nsomething else entirely\nkey.pause Q\nkey.ghost NOT_A_KEY\n"
                    "key.check Q\nkey.help ESCAPE\nmouse_speed 99\nvsync 0\nframe_cap 50\n"
                    "dead_zone 12\nwindow_width 1280\nwindow_height abc\n");
    std::ostringstream log;
    PlayerOptions options;
    {
        Settings settings(path);
        options.load(settings, log);
    }
    EXPECT_EQ(options.keys.key(Action::Pause), key::Q);
    EXPECT_EQ(options.keys.key(Action::Ghost), key::V);  // unknown name: default
    EXPECT_EQ(options.keys.key(Action::Check), key::F6); // Q taken by pause, earlier in the list
    EXPECT_EQ(options.keys.key(Action::Help), key::F1);  // Escape is the game's
    EXPECT_EQ(options.mouseSpeed, 5);
    EXPECT_FALSE(options.vsync);
    EXPECT_EQ(options.frameCap, 0);
    EXPECT_EQ(options.deadZone, 12);
    EXPECT_EQ(options.windowWidth, 1280);
    EXPECT_EQ(options.windowHeight, 780);
    for (const char* named :
         {"key.ghost", "key.check", "key.help", "mouse_speed", "frame_cap", "window_height"})
        EXPECT_NE(log.str().find(named), std::string::npos) << named << " in:\n" << log.str();

    // Saved and read back: the same options, the lines it does not know kept.
    options.invertY = true;
    options.frameCap = 144;
    {
        Settings settings(path);
        options.store(settings);
        std::ostringstream saveLog;
        ASSERT_TRUE(settings.save(saveLog));
    }
    Settings again(path);
    EXPECT_EQ(again.get("course", ""), "3.track");
    EXPECT_EQ(again.get("something", ""), "else entirely");
    EXPECT_EQ(again.get("key.pause", ""), "Q");
    PlayerOptions back;
    std::ostringstream quiet;
    back.load(again, quiet);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_TRUE(back.invertY);
    EXPECT_EQ(back.frameCap, 144);
    EXPECT_EQ(back.keys.key(Action::Pause), key::Q);
}

// The settings file: its old place in the data folder is left once for the
// configuration folder (or read where it is when it cannot move), and a huge
// or damaged file is read as far as it makes sense.
TEST(SettingsFile, MovesOnceFromTheOldPlaceAndCapsItsSize) {
    TempDir dir;
    DataPaths paths = dataPaths();
    const DataPaths before = paths;
    paths.workingCopy = false;
    paths.playerDir = dir.file("data/zentaro/");
    paths.configDir = dir.file("config/zentaro/");
    setDataPaths(paths);
    std::filesystem::create_directories(paths.playerDir);
    writeText(paths.playerDir + "settings.txt", "volume 3\nkey.pause Q\n");
    std::ostringstream log;
    {
        Settings moved = loadPlayerSettings(log);
        EXPECT_EQ(moved.path(), paths.configDir + "settings.txt");
        EXPECT_EQ(moved.get("key.pause", ""), "Q");
    }
    EXPECT_FALSE(std::filesystem::exists(paths.playerDir + "settings.txt"));
    EXPECT_NE(log.str().find("moved"), std::string::npos) << log.str();
    // Where the move cannot go (a file in the folder's place), the old file
    // is read where it is and stays.
    std::filesystem::remove_all(dir.file("config"));
    writeText(dir.file("config"), "");
    writeText(paths.playerDir + "settings.txt", "volume 4\n");
    {
        Settings kept = loadPlayerSettings(log);
        EXPECT_EQ(kept.get("volume", ""), "4");
        EXPECT_TRUE(std::filesystem::exists(paths.playerDir + "settings.txt"));
        EXPECT_NE(log.str().find("could not move"), std::string::npos) << log.str();
    }
    setDataPaths(before);

    // Huge and damaged: the start is read, the rest said to be skipped.
    std::string huge = "volume 2\n\x01\x02 broken\nnovalue\n";
    while (huge.size() < Settings::kMaxBytes * 2)
        huge += "x" + std::to_string(huge.size()) + " 1\n";
    writeText(dir.file("huge.txt"), huge);
    std::ostringstream hugeLog;
    Settings read(dir.file("huge.txt"), &hugeLog);
    EXPECT_EQ(read.get("volume", ""), "2");
    EXPECT_NE(hugeLog.str().find("larger than"), std::string::npos) << hugeLog.str();
    EXPECT_NE(hugeLog.str().find("skipped"), std::string::npos) << hugeLog.str();
}

TEST(OptionsScreen, BindingTakesTheNextKeyAndResetAsksFirst) {
    PlayerOptions options;
    OptionsScreen screen(options);
    screen.show();
    screen.beginBinding(Action::Pause);
    EXPECT_FALSE(screen.keyForBinding(key::V)); // the ghost's: refused, offered as a swap
    EXPECT_TRUE(screen.binding());
    EXPECT_NE(screen.message().find("again"), std::string::npos);
    EXPECT_TRUE(screen.keyForBinding(key::V)); // pressed again: swapped
    EXPECT_EQ(options.keys.key(Action::Ghost), key::P);
    // Escape while a key is awaited only cancels the wait.
    screen.beginBinding(Action::Pause);
    EXPECT_FALSE(screen.back());
    EXPECT_TRUE(screen.isOpen());
    EXPECT_EQ(options.keys.key(Action::Pause), key::V);

    options.mouseSpeed = 9;
    screen.askReset();
    EXPECT_FALSE(screen.back()); // Escape: the question goes, nothing changes
    EXPECT_EQ(options.mouseSpeed, 9);
    screen.askReset();
    EXPECT_TRUE(screen.answerReset(true));
    EXPECT_EQ(options.mouseSpeed, 5);
    EXPECT_EQ(options.keys.key(Action::Pause), key::P);
    EXPECT_TRUE(screen.back());
    EXPECT_FALSE(screen.isOpen());
}

// On the modal stack: a binding's key goes nowhere else, Escape steps back
// one level at a time, and the Escape that closed the screen does not quit.
TEST(OptionsScreen, OnTheModalStack) {
    PlayerOptions options;
    OptionsScreen screen(options);
    ModalStack modals;
    int changes = 0;
    screen.show();
    modals.open(std::make_unique<OptionsModal>(screen, [&] { ++changes; }));
    screen.beginBinding(Action::Pause);
    EXPECT_TRUE(modals.keyPressed(key::Q));
    EXPECT_EQ(options.keys.key(Action::Pause), key::Q);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(modals.gameMaySee(key::Q, true)); // held after the modal took it
    screen.beginBinding(Action::Ghost);
    EXPECT_TRUE(modals.keyPressed(key::Escape)); // cancels the wait only
    EXPECT_FALSE(modals.empty());
    EXPECT_TRUE(modals.keyPressed(key::Escape)); // closes
    EXPECT_TRUE(modals.empty());
    EXPECT_FALSE(screen.isOpen());
    EXPECT_FALSE(modals.gameMaySee(key::Escape, true));
    EXPECT_FALSE(modals.gameMaySee(key::Escape, false));
    EXPECT_TRUE(modals.gameMaySee(key::Escape, true)); // a new press is the game's
}

} // namespace
} // namespace tovi
