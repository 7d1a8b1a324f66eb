// Mesh readers and indexers: the OBJ subset, STL vertices, tangent frames and
// the merging indexer checked against the plain linear search.
#include "core/mesh/SceneObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tovi::scene::SceneObject;

namespace {

const char* const kFaceMessage =
    "File can't be read by our simple parser :-( Try exporting with other options\n";

class MeshFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("zentaro_mesh_" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string write(const std::string& name, const std::string& text) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }

    fs::path dir_;
};

// One triangle, used by several cases below.
const char* const kTriangle = "v 0 0 0\n"
                              "v 1 0 0\n"
                              "v 0 1 0\n"
                              "vt 0 0\n"
                              "vt 1 0\n"
                              "vt 0 1\n"
                              "vn 0 0 1\n";

struct Corners {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec2> uvs;
    std::vector<glm::vec3> normals;
};

} // namespace

TEST_F(MeshFiles, ObjTriangleCornersInFileOrderWithNegatedV) {
    const std::string path = write("tri.obj", std::string(kTriangle) + "vt 0.25 0.75\nf 1/1/1 2/2/1 3/4/1\n");
    Corners c;
    ASSERT_TRUE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals));
    ASSERT_EQ(c.positions.size(), 3u);
    ASSERT_EQ(c.uvs.size(), 3u);
    ASSERT_EQ(c.normals.size(), 3u);
    EXPECT_EQ(c.positions[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(c.positions[2], glm::vec3(0, 1, 0));
    EXPECT_EQ(c.uvs[1], glm::vec2(1, -0.0f));
    EXPECT_EQ(c.uvs[2], glm::vec2(0.25f, -0.75f));
    EXPECT_EQ(c.normals[0], glm::vec3(0, 0, 1));
}

TEST_F(MeshFiles, ObjQuadGivesFirstTriangleAndDropsTheRestOfTheLine) {
    const std::string path = write("quad.obj", std::string(kTriangle) + "v 1 1 0\n"
                                                                        "f 1/1/1 2/2/1 3/3/1 4/2/1 1/1/1\n"
                                                                        "f 3/3/1 2/2/1 4/1/1\n");
    Corners c;
    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(c.positions.size(), 6u);
    EXPECT_EQ(c.positions[2], glm::vec3(0, 1, 0));
    EXPECT_EQ(c.positions[3], glm::vec3(0, 1, 0)); // second face line, not the quad's 4th corner
    EXPECT_EQ(c.positions[5], glm::vec3(1, 1, 0));
}

TEST_F(MeshFiles, ObjExtraComponentsAndOtherLinesAreSkipped) {
    const std::string path = write("extra.obj", "# exported mesh\n"
                                                "mtllib pieces.mtl\n"
                                                "o Ramp\n"
                                                "g ramp group\n"
                                                "v 1 2 3 1.0\n"
                                                "v 4 5 6\n"
                                                "\n\n"
                                                "v 7 8 9\n"
                                                "vt 0.5 0.25 0.0\n"
                                                "vn 0 1 0\n"
                                                "usemtl Wood\n"
                                                "s off\n"
                                                "# f 9/9/9 9/9/9 9/9/9\n"
                                                "f 1/1/1 2/1/1 3/1/1\n");
    Corners c;
    ASSERT_TRUE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals));
    ASSERT_EQ(c.positions.size(), 3u);
    EXPECT_EQ(c.positions[0], glm::vec3(1, 2, 3));
    EXPECT_EQ(c.positions[1], glm::vec3(4, 5, 6));
    EXPECT_EQ(c.positions[2], glm::vec3(7, 8, 9));
    EXPECT_EQ(c.uvs[0], glm::vec2(0.5f, -0.25f));
    EXPECT_EQ(c.normals[2], glm::vec3(0, 1, 0));
}

TEST_F(MeshFiles, ObjShortVertexLineLeavesZeroAndKeepsTheNextLine) {
    const std::string path = write("short.obj", "v 1 2\nv 3 4 5\nvt 0.5\nvn 0 0 1\nf 1/1/1 2/1/1 1/1/1\n");
    Corners c;
    ASSERT_TRUE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals));
    ASSERT_EQ(c.positions.size(), 3u);
    EXPECT_EQ(c.positions[0], glm::vec3(1, 2, 0));
    EXPECT_EQ(c.positions[1], glm::vec3(3, 4, 5));
    EXPECT_EQ(c.uvs[0], glm::vec2(0.5f, 0.0f));
}

TEST_F(MeshFiles, ObjFaceWithoutUvIndexIsRefusedAndAppendsNothing) {
    for (const char* face : {"f 1//1 2//1 3//1\n", "f 1 2 3\n", "f 1/1 2/2 3/3\n", "f 1/1/1 2/2/1\n"}) {
        const std::string path = write("nouv.obj", std::string(kTriangle) + "f 1/1/1 2/2/1 3/3/1\n" + face);
        Corners c;
        c.positions.emplace_back(9, 9, 9); // callers' existing entries stay untouched
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals)) << face;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), kFaceMessage) << face;
        EXPECT_EQ(c.positions.size(), 1u);
        EXPECT_TRUE(c.uvs.empty());
        EXPECT_TRUE(c.normals.empty());
    }
}

TEST_F(MeshFiles, ObjBadFaceIndexIsRefusedWithTheFileNamed) {
    const char* faces[] = {
        "f 1/1/1 2/2/1 4/3/1\n",  // position beyond the list
        "f 1/1/1 2/2/1 3/9/1\n",  // uv beyond the list
        "f 1/1/1 2/2/2 3/3/1\n",  // normal beyond the list
        "f 0/1/1 2/2/1 3/3/1\n",  // zero
        "f -1/1/1 2/2/1 3/3/1\n", // relative index
        "f 1/1/1 2/2/1 3/3/99999999999999999999\n",
    };
    for (const char* face : faces) {
        const std::string path =
            write("badindex.obj", std::string(kTriangle) + "f 1/1/1 2/2/1 3/3/1\n" + face);
        Corners c;
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals)) << face;
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(path), std::string::npos) << out;
        EXPECT_NE(out.find("face 2"), std::string::npos) << out;
        EXPECT_TRUE(c.positions.empty() && c.uvs.empty() && c.normals.empty()) << face;
    }
}

TEST_F(MeshFiles, ObjLongWordsAndLinesAreHarmless) {
    const std::string longWord(5000, 'x');
    const std::string path =
        write("long.obj", longWord + " v 9 9 9\n" + std::string(kTriangle) + "# " + std::string(20000, 'v') +
                              " v 1 1 1\n" + "g " + longWord + "\nf 1/1/1 2/2/1 3/3/1\n");
    Corners c;
    ASSERT_TRUE(SceneObject::loadObjMesh(path, c.positions, c.uvs, c.normals));
    ASSERT_EQ(c.positions.size(), 3u);
    EXPECT_EQ(c.positions[0], glm::vec3(0, 0, 0)); // the "v 9 9 9" after the long word was discarded
}

TEST_F(MeshFiles, MissingFileMessageForEveryReader) {
    const std::string path = (dir_ / "nope.obj").string();
    std::vector<glm::vec3> p;
    std::vector<glm::vec2> t;
    std::vector<glm::vec3> n;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(SceneObject::loadObjMesh(path, p, t, n));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Impossible to open the file !\n" + path);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(SceneObject::loadObjPositions(path, p));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Impossible to open the file !\n" + path);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(SceneObject::loadStlVertices(path, p));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Impossible to open the file !\n" + path);
    EXPECT_TRUE(p.empty() && t.empty() && n.empty());
}

TEST_F(MeshFiles, ObjPositionsReadsEveryV) {
    const std::string path = write("pos.obj", std::string(kTriangle) + "f 1/1/1 2/2/1 3/3/1\nv 4 5 6\n");
    std::vector<glm::vec3> p;
    ASSERT_TRUE(SceneObject::loadObjPositions(path, p));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(p[3], glm::vec3(4, 5, 6));
}

TEST_F(MeshFiles, StlVertices) {
    std::vector<glm::vec3> p;
    ASSERT_TRUE(SceneObject::loadStlVertices(write("empty.stl", "solid empty\nendsolid empty\n"), p));
    EXPECT_TRUE(p.empty());

    const std::string stl = "solid ramp\n"
                            "  facet normal 0 0 1\n"
                            "    outer loop\n"
                            "      vertex 0 0 0\n"
                            "      vertex 1 0 0\n"
                            "      vertex 0 1 0\n"
                            "    endloop\n"
                            "  endfacet\n"
                            "  facet normal 0 0 -1\n"
                            "    outer loop\n"
                            "      vertex 1.5 -2 3e1\n"
                            "      vertex 1 1 0\n"
                            "      vertex 0 1 0\n"
                            "    endloop\n"
                            "  endfacet\n"
                            "endsolid ramp\n";
    ASSERT_TRUE(SceneObject::loadStlVertices(write("ramp.stl", stl), p));
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[1], glm::vec3(1, 0, 0));
    EXPECT_EQ(p[3], glm::vec3(1.5f, -2, 30));
    EXPECT_EQ(p[5], glm::vec3(0, 1, 0));
}

TEST(MeshIndexing, PlainIndexingKeepsEveryCorner) {
    const std::vector<glm::vec3> p = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    const std::vector<glm::vec2> t(6, glm::vec2(0.5f));
    const std::vector<glm::vec3> n(6, glm::vec3(0, 0, 1));
    std::vector<unsigned short> idx;
    std::vector<glm::vec3> op, on;
    std::vector<glm::vec2> ot;
    ASSERT_TRUE(SceneObject::buildIndexedMesh(p, t, n, idx, op, ot, on));
    EXPECT_EQ(idx, (std::vector<unsigned short>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(op, p);
    EXPECT_EQ(ot, t);
    EXPECT_EQ(on, n);
}

TEST(MeshIndexing, TangentFramesFollowTheUvs) {
    const std::vector<glm::vec3> p = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    const std::vector<glm::vec3> n(3, glm::vec3(0, 0, 1));
    std::vector<glm::vec3> tan, bit;
    // u along +x, v along +y: tangent +x, bitangent keeps its length.
    tovi::scene::computeTangentFrames(p, {{0, 0}, {1, 0}, {0, 1}}, n, tan, bit);
    ASSERT_EQ(tan.size(), 3u);
    ASSERT_EQ(bit.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(glm::distance(tan[i], glm::vec3(1, 0, 0)), 0.0f, 1e-6f);
        EXPECT_NEAR(glm::distance(bit[i], glm::vec3(0, 2, 0)), 0.0f, 1e-6f);
    }
    // v running the other way makes the frame left-handed: the tangent flips.
    tan.clear();
    bit.clear();
    tovi::scene::computeTangentFrames(p, {{0, 0}, {1, 0}, {0, -1}}, n, tan, bit);
    EXPECT_NEAR(glm::distance(tan[0], glm::vec3(-1, 0, 0)), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::distance(bit[0], glm::vec3(0, -2, 0)), 0.0f, 1e-6f);
    // A tilted corner normal: the tangent is made perpendicular to it.
    tan.clear();
    bit.clear();
    const glm::vec3 tilted = glm::normalize(glm::vec3(1, 0, 1));
    tovi::scene::computeTangentFrames(p, {{0, 0}, {1, 0}, {0, 1}}, {tilted, tilted, tilted}, tan, bit);
    EXPECT_NEAR(glm::dot(tan[0], tilted), 0.0f, 1e-6f);
    EXPECT_NEAR(glm::length(tan[0]), 1.0f, 1e-6f);
    EXPECT_GT(tan[0].x, 0.0f);
}

TEST(MeshIndexing, DegenerateUvsGiveAFiniteFrameAroundTheNormal) {
    const std::vector<glm::vec3> p = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}, // a floor triangle
                                      {0, 0, 0}, {1, 0, 0}, {0, 1, 0},
                                      {5, 5, 5}, {5, 5, 5}, {5, 5, 5}};         // and a point-sized one
    const std::vector<glm::vec2> t = {{0.3f, 0.3f}, {0.3f, 0.3f}, {0.3f, 0.3f}, // one uv for all corners
                                      {0, 0},       {1, 1},       {2, 2},       // collinear uvs
                                      {0, 0},       {1, 0},       {0, 1}};
    const std::vector<glm::vec3> n = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1},
                                      {0, 0, 1}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}};
    std::vector<glm::vec3> tan, bit;
    tovi::scene::computeTangentFrames(p, t, n, tan, bit);
    ASSERT_EQ(tan.size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(std::isfinite(tan[i][k])) << i;
            EXPECT_TRUE(std::isfinite(bit[i][k])) << i;
        }
        EXPECT_NEAR(glm::length(tan[i]), 1.0f, 1e-5f) << i;
        EXPECT_NEAR(glm::dot(tan[i], n[i]), 0.0f, 1e-5f) << i;
    }
}

namespace {

struct Indexed {
    std::vector<unsigned short> indices;
    std::vector<glm::vec3> positions, normals, tangents, bitangents;
    std::vector<glm::vec2> uvs;
};

// The plain linear first-match indexer, the behaviour the fast one must keep.
Indexed linearReference(const std::vector<glm::vec3>& p, const std::vector<glm::vec2>& t,
                        const std::vector<glm::vec3>& n, const std::vector<glm::vec3>& tan,
                        const std::vector<glm::vec3>& bit) {
    Indexed r;
    for (std::size_t i = 0; i < p.size(); ++i) {
        unsigned short j = 0;
        if (tovi::scene::findSimilarVertex(p[i], t[i], n[i], r.positions, r.uvs, r.normals, j)) {
            r.indices.push_back(j);
            r.tangents[j] += tan[i];
            r.bitangents[j] += bit[i];
        } else {
            r.positions.push_back(p[i]);
            r.uvs.push_back(t[i]);
            r.normals.push_back(n[i]);
            r.tangents.push_back(tan[i]);
            r.bitangents.push_back(bit[i]);
            r.indices.push_back(static_cast<unsigned short>(r.positions.size() - 1));
        }
    }
    return r;
}

bool mergeIndexed(const std::vector<glm::vec3>& p, const std::vector<glm::vec2>& t,
                  const std::vector<glm::vec3>& n, const std::vector<glm::vec3>& tan,
                  const std::vector<glm::vec3>& bit, Indexed& r) {
    return tovi::scene::buildIndexedMeshWithTangents(p, t, n, tan, bit, r.indices, r.positions, r.uvs,
                                                     r.normals, r.tangents, r.bitangents);
}

} // namespace

TEST(MeshIndexing, MergingSharesNearCornersAndSumsTangents) {
    const std::vector<glm::vec3> p = {{0, 0, 0},      {1, 0, 0}, {0, 1, 0},
                                      {0.005f, 0, 0}, {0, 1, 0}, {1.02f, 0, 0}};
    const std::vector<glm::vec2> t(6, glm::vec2(0.5f));
    const std::vector<glm::vec3> n(6, glm::vec3(0, 0, 1));
    const std::vector<glm::vec3> tan = {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}};
    const std::vector<glm::vec3> bit(6, glm::vec3(0, 0, 1));
    Indexed r;
    ASSERT_TRUE(mergeIndexed(p, t, n, tan, bit, r));
    EXPECT_EQ(r.indices, (std::vector<unsigned short>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(r.positions.size(), 4u);
    EXPECT_EQ(r.tangents[0], glm::vec3(1, 1, 0));
    EXPECT_EQ(r.tangents[2], glm::vec3(1, 2, 0));
    EXPECT_EQ(r.bitangents[2], glm::vec3(0, 0, 2));
}

TEST(MeshIndexing, MergingAgreesWithTheLinearSearchOnRandomMeshes) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 12; ++round) {
        // A few base vertices on a coarse grid near cell edges, each used by
        // many corners jittered around the merge tolerance.
        std::uniform_int_distribution<int> grid(-3, 3);
        std::uniform_real_distribution<float> jitter(-0.015f, 0.015f);
        std::uniform_int_distribution<int> pick(0, 39);
        std::vector<glm::vec3> baseP, baseN;
        std::vector<glm::vec2> baseT;
        const float scale = round % 3 == 0 ? 0.01f : (round % 3 == 1 ? 0.05f : 1000.0f);
        for (int b = 0; b < 40; ++b) {
            baseP.emplace_back(grid(rng) * scale, grid(rng) * scale, grid(rng) * scale);
            baseT.emplace_back(grid(rng) * 0.01f, grid(rng) * 0.01f);
            baseN.emplace_back(0, grid(rng) * 0.005f, 1);
        }
        std::vector<glm::vec3> p, n, tan, bit;
        std::vector<glm::vec2> t;
        std::uniform_real_distribution<float> any(-1.0f, 1.0f);
        for (int i = 0; i < 3000; ++i) {
            const int b = pick(rng);
            const bool exact = i % 4 == 0;
            const auto j = [&] { return exact ? 0.0f : jitter(rng); };
            p.push_back(baseP[b] + glm::vec3(j(), j(), j()));
            t.push_back(baseT[b] + glm::vec2(j(), j()));
            n.push_back(baseN[b] + glm::vec3(j(), j(), j()));
            tan.emplace_back(any(rng), any(rng), any(rng));
            bit.emplace_back(any(rng), any(rng), any(rng));
        }
        const Indexed expected = linearReference(p, t, n, tan, bit);
        Indexed got;
        ASSERT_TRUE(mergeIndexed(p, t, n, tan, bit, got));
        ASSERT_GT(expected.positions.size(), 40u);
        ASSERT_LT(expected.positions.size(), 2000u);
        EXPECT_EQ(got.indices, expected.indices) << "round " << round;
        EXPECT_EQ(got.positions, expected.positions);
        EXPECT_EQ(got.uvs, expected.uvs);
        EXPECT_EQ(got.normals, expected.normals);
        EXPECT_EQ(got.tangents, expected.tangents);
        EXPECT_EQ(got.bitangents, expected.bitangents);
    }
}

TEST(MeshIndexing, MoreThan65536VerticesAreRefusedByBothIndexers) {
    const std::size_t corners = 65537;
    std::vector<glm::vec3> p, n(corners, glm::vec3(0, 1, 0)), tan(corners, glm::vec3(1, 0, 0)),
        bit(corners, glm::vec3(0, 0, 1));
    std::vector<glm::vec2> t(corners, glm::vec2(0));
    for (std::size_t i = 0; i < corners; ++i)
        p.emplace_back(static_cast<float>(i % 300), static_cast<float>(i / 300), 0.0f);

    Indexed r;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(mergeIndexed(p, t, n, tan, bit, r));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("65536"), std::string::npos);
    EXPECT_TRUE(r.indices.empty() && r.positions.empty() && r.tangents.empty());

    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(SceneObject::buildIndexedMesh(p, t, n, r.indices, r.positions, r.uvs, r.normals));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("65536"), std::string::npos);
    EXPECT_TRUE(r.indices.empty() && r.positions.empty() && r.uvs.empty());

    // Exactly 65,536 distinct vertices still fit, however many corners share them.
    p.pop_back();
    p.push_back(p.front());
    ASSERT_TRUE(mergeIndexed(p, t, n, tan, bit, r));
    EXPECT_EQ(r.positions.size(), 65536u);
    EXPECT_EQ(r.indices.back(), 0);
    EXPECT_EQ(r.indices[65535], 65535);
}
