// Medal times from an author time, the author-time word, and the player's
// progress file.
#include "core/player/Progress.h"
#include "core/course/Medals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using tovi::Medal;

TEST(Medals, NextWholeSecondAboveTheScaledAuthorTime) {
    struct Case {
        double author, gold, silver, bronze;
    };
    // The two examples, then author times whose scaled values land exactly on
    // a whole second (which goes on to the next) or just below one.
    for (const Case& c : {Case{21024, 23000, 26000, 32000}, Case{25000, 27000, 31000, 38000},
                          Case{50000, 54000, 61000, 76000}, Case{24999, 27000, 30000, 38000},
                          Case{1, 1000, 1000, 1000}, Case{600000, 637000, 721000, 901000}}) {
        const tovi::MedalTimes t = tovi::medalTimes(c.author);
        EXPECT_EQ(t.author, c.author);
        EXPECT_EQ(t.gold, c.gold) << c.author;
        EXPECT_EQ(t.silver, c.silver) << c.author;
        EXPECT_EQ(t.bronze, c.bronze) << c.author;
    }
    EXPECT_EQ(tovi::medalTimesLine(21024.0), "author 21.02 s, gold 23 s, silver 26 s, bronze 32 s");
    EXPECT_EQ(tovi::medalTimesLine(std::nullopt), "author none");

    // A finish at a medal's time earns it; a millisecond more does not.
    const tovi::MedalTimes t = tovi::medalTimes(21024.0);
    EXPECT_EQ(tovi::medalFor(21024.0, t), Medal::Author);
    EXPECT_EQ(tovi::medalFor(21025.0, t), Medal::Gold);
    EXPECT_EQ(tovi::medalFor(23000.0, t), Medal::Gold);
    EXPECT_EQ(tovi::medalFor(23001.0, t), Medal::Silver);
    EXPECT_EQ(tovi::medalFor(32000.0, t), Medal::Bronze);
    EXPECT_EQ(tovi::medalFor(32001.0, t), Medal::None);
}

TEST(Medals, AuthorWordReadsOnlyATimeWithinTenMinutes) {
    std::ostringstream log;
    EXPECT_EQ(tovi::parseAuthorWord(tovi::authorWord(21024.4), "c.track", log), 21024.0);
    EXPECT_EQ(tovi::parseAuthorWord("author=600000", "c.track", log), 600000.0);
    EXPECT_TRUE(log.str().empty());
    for (const char* bad : {"author=", "author=abc", "author=12x", "author=nan", "author=inf", "author=-5",
                            "author=0", "author=0.4", "author=600001", "author=1e400"}) {
        std::ostringstream badLog;
        EXPECT_FALSE(tovi::parseAuthorWord(bad, "c.track", badLog)) << bad;
        EXPECT_NE(badLog.str().find("c.track"), std::string::npos) << bad;
    }
}

class ProgressFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        dir = fs::temp_directory_path() / ("zentaro-progress-" + std::to_string(random()));
        fs::create_directories(dir);
        path = (dir / "progress.txt").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    fs::path dir;
    std::string path;
};

TEST_F(ProgressFile, KeepsTheBestTimeAndMedalAndReadsThemBack) {
    std::ostringstream log;
    {
        tovi::Progress progress(path, log);
        EXPECT_TRUE(progress.recordFinish("2.track", 24500.4, Medal::Silver));
        EXPECT_TRUE(progress.recordFinish("2.track", 23900.0, Medal::Silver)); // faster
        EXPECT_FALSE(progress.recordFinish("2.track", 30000.0, Medal::Bronze));
        EXPECT_TRUE(progress.recordFinish("1.track", 40000.0, Medal::None));
        progress.setDesignedLayout("mine.track", 0x3f09a1c2d4e5b6a7ULL);
        EXPECT_TRUE(progress.save(log));
    }
    tovi::Progress back(path, log);
    EXPECT_TRUE(log.str().empty()) << log.str();
    ASSERT_NE(back.find("2.track"), nullptr);
    EXPECT_EQ(back.find("2.track")->best, 23900.0);
    EXPECT_EQ(back.find("2.track")->medal, Medal::Silver);
    EXPECT_TRUE(back.designedBy("mine.track", 0x3f09a1c2d4e5b6a7ULL));
    EXPECT_FALSE(back.designedBy("2.track", 0x3f09a1c2d4e5b6a7ULL));
    // Silver counts bronze and silver; the unfinished and unlisted add nothing.
    EXPECT_EQ(back.medalsWon({"1.track", "2.track", "3.track", "mine.track"}), 2);
}

TEST_F(ProgressFile, DamagedFileIsSetAsideKeepingItsGoodEntries) {
    write("zentaro-progress 1\n2.track 23900 gold -\n3.track -5 gold -\n../x 100 gold -\n4.track 1 tin -\n");
    std::ostringstream log;
    {
        tovi::Progress progress(path, log);
        EXPECT_NE(log.str().find("line 3: not a best time and 2 more"), std::string::npos) << log.str();
        EXPECT_TRUE(fs::exists(path + ".damaged"));
        EXPECT_FALSE(fs::exists(path));
        ASSERT_NE(progress.find("2.track"), nullptr);
        EXPECT_EQ(progress.find("3.track"), nullptr);
        EXPECT_TRUE(progress.save(log));
    }
    std::ostringstream again;
    tovi::Progress back(path, again);
    EXPECT_TRUE(again.str().empty());
    EXPECT_EQ(back.find("2.track")->medal, Medal::Gold);

    // Too large, or not a progress file at all: set aside, nothing kept.
    for (const std::string& text :
         {std::string(tovi::kMaxProgressBytes + 1, 'x'), std::string("\x89PNG\r\n")}) {
        write(text);
        std::ostringstream damaged;
        tovi::Progress progress(path, damaged);
        EXPECT_NE(damaged.str().find("set aside"), std::string::npos);
        EXPECT_EQ(progress.find("2.track"), nullptr);
    }
}

} // namespace
