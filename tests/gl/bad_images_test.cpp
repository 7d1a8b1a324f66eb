// Missing and corrupt pictures: loadImage gives a consistent result (an
// empty one, or a whole picture), a texture from it is empty or complete,
// and nothing crashes or leaves a GL error behind.
#include "GlTestContext.h"
#include "render/Texture.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tovi::testing {
namespace {

namespace fs = std::filesystem;

class BadImages : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        std::random_device random;
        dir = fs::temp_directory_path() / ("zentaro-images-" + std::to_string(random()));
        fs::create_directories(dir);
        png = save("good.png", FIF_PNG);
        jpeg = save("good.jpg", FIF_JPEG);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
        GlTest::TearDown();
    }

    // A 64 x 32 colour gradient written by FreeImage itself; returns its bytes.
    std::string save(const std::string& name, FREE_IMAGE_FORMAT format) {
        FIBITMAP* image = FreeImage_Allocate(64, 32, 24);
        for (unsigned y = 0; y < 32; ++y) {
            BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
            for (unsigned x = 0; x < 64; ++x) {
                row[3 * x + 0] = static_cast<BYTE>(x * 4);
                row[3 * x + 1] = static_cast<BYTE>(y * 8);
                row[3 * x + 2] = 200;
            }
        }
        const std::string path = file(name);
        EXPECT_TRUE(FreeImage_Save(format, image, path.c_str(), 0));
        FreeImage_Unload(image);
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }

    fs::path dir;
    std::string png;
    std::string jpeg;
};

// loadImage's promise: either nothing, or width x height x 4 bytes.
void expectConsistent(const std::string& path, bool mayDecode, const std::string& what) {
    int width = -1;
    int height = -1;
    const std::vector<unsigned char> pixels = loadImage(path, width, height);
    if (!mayDecode) {
        EXPECT_EQ(width, 0) << what;
        EXPECT_EQ(height, 0) << what;
        EXPECT_TRUE(pixels.empty()) << what;
    } else {
        EXPECT_TRUE((width == 0 && height == 0 && pixels.empty()) || (width == 64 && height == 32)) << what;
    }
    EXPECT_EQ(pixels.size(), static_cast<size_t>(width) * static_cast<size_t>(height) * 4) << what;

    Texture texture(path);
    GLint w = -1;
    glBindTexture(GL_TEXTURE_2D, texture.textureId);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, width) << what;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << what;
}

TEST_F(BadImages, GoodPicturesDecodeWhole) {
    int width = 0;
    int height = 0;
    EXPECT_EQ(loadImage(file("good.png"), width, height).size(), 64u * 32u * 4u);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(loadImage(file("good.jpg"), width, height).size(), 64u * 32u * 4u);
}

TEST_F(BadImages, MissingEmptyFolderAndJunkGiveNothing) {
    expectConsistent(file("missing.png"), false, "missing");
    expectConsistent(write("empty.png", ""), false, "zero bytes");
    expectConsistent(write("empty.jpg", ""), false, "zero bytes");
    fs::create_directories(file("folder.png"));
    expectConsistent(file("folder.png"), false, "a folder");
    std::mt19937 random(3);
    std::string junk(5000, '\0');
    for (char& c : junk)
        c = static_cast<char>(random() & 0xff);
    expectConsistent(write("junk.png", junk), false, "junk named .png");
    expectConsistent(write("junk.jpg", junk), false, "junk named .jpg");
    // The right signature and then nothing.
    expectConsistent(write("sig.png", png.substr(0, 8)), false, "PNG signature only");
    expectConsistent(write("sig.jpg", jpeg.substr(0, 2)), false, "JPEG start marker only");
    // A picture under the wrong name is still a picture.
    expectConsistent(write("png-named.jpg", png), true, "PNG named .jpg");
}

TEST_F(BadImages, TruncatedPicturesGiveNothingOrAWholePicture) {
    for (size_t keep : {size_t{12}, size_t{33}, size_t{60}, png.size() / 2, png.size() - 13}) {
        expectConsistent(write("cut.png", png.substr(0, keep)), true, "PNG cut at " + std::to_string(keep));
    }
    for (size_t keep : {size_t{20}, size_t{200}, jpeg.size() / 2, jpeg.size() - 2}) {
        expectConsistent(write("cut.jpg", jpeg.substr(0, keep)), true, "JPEG cut at " + std::to_string(keep));
    }
    // Bytes flipped in the middle of the data.
    std::string broken = png;
    for (size_t i = png.size() / 3; i < png.size() / 3 + 40; ++i)
        broken[i] = static_cast<char>(~broken[i]);
    expectConsistent(write("flipped.png", broken), true, "PNG with flipped bytes");
    broken = jpeg;
    for (size_t i = jpeg.size() / 3; i < jpeg.size() / 3 + 40; ++i)
        broken[i] = static_cast<char>(~broken[i]);
    expectConsistent(write("flipped.jpg", broken), true, "JPEG with flipped bytes");
}

// A PNG whose header claims a picture of side x side pixels, followed by no
// picture data at all.
std::string pngClaiming(std::uint32_t side) {
    auto crc = [](const std::string& bytes) {
        std::uint32_t c = 0xffffffffu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
        }
        return c ^ 0xffffffffu;
    };
    auto be32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    const std::string body = "IHDR" + be32(side) + be32(side) + std::string{8, 6, 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + be32(13) + body + be32(crc(body)) + be32(0) + "IEND" +
           be32(crc("IEND"));
}

TEST_F(BadImages, AHeaderClaimingAHugePictureGivesNothing) {
    // 20000 x 20000 RGBA would be 1.6 GB; the data is not there.
    expectConsistent(write("huge.png", pngClaiming(20000)), false, "huge PNG header");
    expectConsistent(write("zero.png", pngClaiming(0)), false, "PNG of side 0");
}

} // namespace
} // namespace tovi::testing
