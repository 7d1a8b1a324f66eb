#include "core/system/CommandLine.h"

#include "core/system/DataPaths.h"
#include "core/system/Pause.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using tovi::parseCommandLine;

namespace {

tovi::CommandLineResult parse(std::vector<const char*> args, std::string& out) {
    args.insert(args.begin(), "zentaro");
    std::ostringstream s;
    auto r = parseCommandLine(static_cast<int>(args.size()), args.data(), s);
    out = s.str();
    return r;
}

TEST(CommandLine, DefaultsAndIgnoredSingleArgument) {
    std::string out;
    for (auto args : {std::vector<const char*>{}, std::vector<const char*>{"640"}}) {
        auto r = parse(args, out);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.width, 1000);
        EXPECT_EQ(r.height, 780);
        EXPECT_EQ(out, "");
    }
}

TEST(CommandLine, LeadingIntegersAndTheFlag) {
    std::string out;
    auto r = parse({" 800abc", "600", "1"}, out);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.width, 800);
    EXPECT_EQ(r.height, 600);
    EXPECT_EQ(out, "you are executing 'zentaro'\n");
    EXPECT_TRUE(parse({"800", "600", "0"}, out).ok);
}

TEST(CommandLine, FailuresStopAtTheFirstBadArgument) {
    std::string out;
    auto r = parse({"abc", "zzz"}, out);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(out, "you are executing 'zentaro'\nFail in first command line!\n");

    r = parse({"800", "tall"}, out);
    EXPECT_EQ(out, "you are executing 'zentaro'\nFail in second command line!\n");
    EXPECT_EQ(r.width, 800);

    for (const char* flag : {"2", "true", "-1", ""}) {
        r = parse({"800", "600", flag}, out);
        EXPECT_FALSE(r.ok) << flag;
        EXPECT_EQ(r.exitStatus, 1);
        EXPECT_EQ(out, "you are executing 'zentaro'\nFail in thrid command line!\n") << flag;
    }
    // A number too large for the window size is not a number at all.
    EXPECT_FALSE(parse({"99999999999", "600"}, out).ok);
}

TEST(CommandLine, HelpAndVersionReadNothingElse) {
    std::string out;
    for (auto args : {std::vector<const char*>{"--help"}, std::vector<const char*>{"800", "600", "--help"},
                      std::vector<const char*>{"abc", "--version", "--help"}}) {
        auto r = parse(args, out);
        EXPECT_TRUE(r.ok);
        EXPECT_TRUE(r.showHelp);
        EXPECT_EQ(out, ""); // no "you are executing" line, no failure
    }
    auto r = parse({"--version"}, out);
    EXPECT_TRUE(r.showVersion);
    EXPECT_FALSE(r.showHelp);
    // "Zentaro MAJOR.MINOR.PATCH" and a line end.
    std::istringstream version(tovi::versionText());
    std::string name, rest;
    unsigned major = 0, minor = 0, patch = 0;
    char dot1 = 0, dot2 = 0;
    version >> name >> major >> dot1 >> minor >> dot2 >> patch;
    std::getline(version, rest);
    EXPECT_TRUE(version && name == "Zentaro" && dot1 == '.' && dot2 == '.' && rest.empty() &&
                tovi::versionText().back() == '\n')
        << tovi::versionText();
    EXPECT_FALSE(parse({"-help", "600"}, out).showHelp); // only the exact words

    // The usage names every argument and says where this run's data and saves are.
    tovi::DataPaths installed;
    installed.found = true;
    installed.dataDir = "/usr/share/zentaro";
    installed.playerDir = "/home/ann/.local/share/zentaro/";
    const std::string usage = tovi::usageText(installed);
    for (const char* part :
         {"WIDTH HEIGHT", "FLAG", "--help", "--version", "$XDG_DATA_HOME/zentaro/",
          "Here: game data /usr/share/zentaro/Kobuldo/, saves /home/ann/.local/share/zentaro/"})
        EXPECT_NE(usage.find(part), std::string::npos) << part << " in:\n" << usage;
    tovi::DataPaths missing;
    missing.searched = {"/nowhere/Kobuldo"};
    EXPECT_NE(tovi::usageText(missing).find("no folder /nowhere/Kobuldo"), std::string::npos);
}

} // namespace

// A set-up failure while a worker thread is busy: the worker is stopped and
// joined before the process ends, and the failure's status comes out.
TEST(FatalExit, StopsAndJoinsTheWorkerBeforeExiting) {
    EXPECT_EXIT(
        {
            std::atomic<bool> stop{false};
            std::atomic<long> work{0};
            std::thread worker([&] {
                while (!stop)
                    ++work;
            });
            tovi::setBeforeFatalExit([&] {
                stop = true;
                worker.join();
                std::fprintf(stderr, "worker joined\n");
            });
            tovi::pauseAndExit(3);
        },
        ::testing::ExitedWithCode(3), "worker joined");
}
