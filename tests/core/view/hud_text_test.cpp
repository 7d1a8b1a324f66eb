// HUD number formats and the glyph quads of the bitmap font.
#include "core/view/HudText.h"

#include <gtest/gtest.h>

#include <limits>

TEST(HudText, TimeFormat) {
    EXPECT_EQ(tovi::formatTime(75123), "01:15:23");
    EXPECT_EQ(tovi::formatTime(5), "00:00:05");
    EXPECT_EQ(tovi::formatTime(3600000), "00:00:00"); // minutes wrap, no hour group
    EXPECT_EQ(tovi::formatTime(59999.9), "00:59:99"); // whole milliseconds only
    EXPECT_EQ(tovi::formatTime(3599999), "59:59:99");
    EXPECT_EQ(tovi::formatTime(1.0e11), "46:40:00"); // beyond the int range: no overflow
}

// The times the game adds (splits, the course lines) show real hundredths,
// cut like a clock's; only the race clock and the HUD's best time keep the
// last two digits of the milliseconds.
TEST(HudText, AddedTimesShowRealHundredths) {
    EXPECT_EQ(tovi::splitDifference(1090), "+00:01.09");
    EXPECT_EQ(tovi::splitDifference(-1500), "-00:01.50");
    EXPECT_EQ(tovi::splitDifference(-9.9), "-00:00.00");
    EXPECT_EQ(tovi::splitDifference(0), "+00:00.00");
    EXPECT_EQ(tovi::splitDifference(61999), "+01:01.99");
    EXPECT_EQ(tovi::formatHundredths(50000), "00:50.00");
    EXPECT_EQ(tovi::formatHundredths(3599999), "59:59.99");
    EXPECT_EQ(tovi::formatHundredths(std::numeric_limits<double>::quiet_NaN()), "00:00.00");
    EXPECT_EQ(tovi::formatTime(1090), "00:01:90") << "the race clock keeps its format";
}

TEST(HudText, TimeFormatOfImpossibleTimes) {
    EXPECT_EQ(tovi::formatTime(-5), "00:00:00");
    EXPECT_EQ(tovi::formatTime(-1.0e300), "00:00:00");
    EXPECT_EQ(tovi::formatTime(std::numeric_limits<double>::quiet_NaN()), "00:00:00");
    // Huge and infinite values give some well-formed time.
    for (double ms : {1.0e300, std::numeric_limits<double>::infinity()}) {
        const std::string t = tovi::formatTime(ms);
        ASSERT_EQ(t.size(), 8u) << t;
        EXPECT_EQ(t[2], ':');
        EXPECT_EQ(t[5], ':');
    }
}

TEST(HudText, Lines) {
    EXPECT_EQ(tovi::ringCountLine(3, 7), "3/7");
    EXPECT_EQ(tovi::ringCountLine(0, 0), "0/0");
    EXPECT_EQ(tovi::frameRateLine(0.016), "62.500000");
    EXPECT_EQ(tovi::culledLine(4), "geklippt: 4");
    EXPECT_EQ(tovi::culledLine(-1), "geklippt: -1");
}

TEST(HudText, GlyphCells) {
    EXPECT_EQ(tovi::glyphCell('A'), glm::vec2(0.0625f, 0.25f));
    EXPECT_EQ(tovi::glyphCell('0'), glm::vec2(0.0f, 0.1875f));
    // Codes above 127 are negative: remainder and quotient truncate to zero.
    EXPECT_EQ(tovi::glyphCell(static_cast<char>(0xE9)), glm::vec2(-7 * 0.0625f, -1 * 0.0625f)); // -23
    EXPECT_EQ(tovi::glyphCell(static_cast<char>(0x80)), glm::vec2(0.0f, -8 * 0.0625f));         // -128
}

TEST(HudText, QuadsPerCharacter) {
    std::vector<glm::vec2> pos, uv;
    tovi::buildTextQuads("AB", tovi::kHudLineLeft, 555, tovi::kHudGlyphSize, pos, uv);
    ASSERT_EQ(pos.size(), 12u);
    ASSERT_EQ(uv.size(), 12u);
    const std::vector<glm::vec2> firstPos = {{10, 575}, {10, 555}, {30, 575},
                                             {30, 555}, {30, 575}, {10, 555}};
    const std::vector<glm::vec2> secondPos = {{30, 575}, {30, 555}, {50, 575},
                                              {50, 555}, {50, 575}, {30, 555}};
    EXPECT_EQ(std::vector<glm::vec2>(pos.begin(), pos.begin() + 6), firstPos);
    EXPECT_EQ(std::vector<glm::vec2>(pos.begin() + 6, pos.end()), secondPos);
    const float u = 0.125f, v = 0.25f, d = 0.0625f; // 'B'
    const std::vector<glm::vec2> secondUv = {{u, v},         {u, v + d}, {u + d, v},
                                             {u + d, v + d}, {u + d, v}, {u, v + d}};
    EXPECT_EQ(std::vector<glm::vec2>(uv.begin() + 6, uv.end()), secondUv);

    pos.clear();
    uv.clear();
    tovi::buildTextQuads("", tovi::kHudLineLeft, 400, tovi::kHudGlyphSize, pos, uv);
    EXPECT_TRUE(pos.empty() && uv.empty());

    // A space keeps its cell but draws nothing; sized glyphs start at x.
    tovi::buildTextQuads("A B", 100.0f, 0.0f, 10.0f, pos, uv);
    ASSERT_EQ(pos.size(), 12u);
    EXPECT_EQ(pos[6], glm::vec2(120, 10));
}
