// Mesh numbers go through a fast decimal conversion with strtof behind it;
// every spelling must read exactly as strtof reads it.
#include "tests/core/TestFakes.h"

#include "core/mesh/SceneObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(MeshNumbers, EverySpellingReadsAsStrtofReadsIt) {
    const std::vector<std::string> spellings = {"1",
                                                "-2.5",
                                                "+3.25",
                                                ".5",
                                                "-.75",
                                                "7.",
                                                "1e3",
                                                "1E-3",
                                                "-0",
                                                "0x1p3",
                                                "-0X1.8p1",
                                                "1e40",
                                                "-1e40",
                                                "1e-50",
                                                "1.17549e-38",
                                                "3.4028235e38",
                                                "inf",
                                                "-Infinity",
                                                "123456789.123456789",
                                                "0.1",
                                                "16777217",
                                                "2.5e+2",
                                                "00012.5000"};
    tovi::testing::TempDir dir;
    std::string text;
    for (const std::string& s : spellings)
        text += "v " + s + " " + s + " " + s + "\n";
    text += "v nan 1 2\n";
    const std::string path = dir.file("numbers.obj");
    tovi::testing::writeText(path, text);

    std::vector<glm::vec3> positions;
    ASSERT_TRUE(tovi::scene::SceneObject::loadObjPositions(path, positions));
    ASSERT_EQ(positions.size(), spellings.size() + 1);
    for (std::size_t i = 0; i < spellings.size(); ++i) {
        const float expected = std::strtof(spellings[i].c_str(), nullptr);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(positions[i][k], expected) << spellings[i];
            EXPECT_EQ(std::signbit(positions[i][k]), std::signbit(expected)) << spellings[i];
        }
    }
    EXPECT_TRUE(std::isnan(positions.back().x));
    EXPECT_EQ(positions.back().y, 1.0f);
}

TEST(MeshNumbers, ANumberCutShortStopsWhereStrtofStops) {
    tovi::testing::TempDir dir;
    // "2e" is the number 2 followed by the word "e"; "0x" is 0 followed by "x".
    const std::string path = dir.file("cut.stl");
    tovi::testing::writeText(path, "solid s\nvertex 2e 5 6\nvertex 0x 7 8\nvertex 1.5 -x 9\nendsolid s\n");
    std::vector<glm::vec3> positions;
    ASSERT_TRUE(tovi::scene::SceneObject::loadStlVertices(path, positions));
    ASSERT_EQ(positions.size(), 3u);
    EXPECT_EQ(positions[0], glm::vec3(2, 0, 0));
    EXPECT_EQ(positions[1], glm::vec3(0, 0, 0));
    EXPECT_EQ(positions[2], glm::vec3(1.5f, 0, 0));
}

} // namespace
