// Textures go to GL straight from the decoder where the picture allows it;
// whatever the file, the texels must be exactly what loadImage decodes.
#include "GlTestContext.h"

#include "render/Texture.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TextureUploadTest : public tovi::testing::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        dir = fs::temp_directory_path() / ("zentaro-texture-test-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
        GlTest::TearDown();
    }

    // A picture of the given depth with a different value in every channel
    // of every pixel, saved in the given format.
    std::string write(const char* name, int width, int height, int bpp, FREE_IMAGE_FORMAT format) {
        FIBITMAP* image = FreeImage_Allocate(width, height, bpp);
        if (bpp == 8) {
            RGBQUAD* palette = FreeImage_GetPalette(image);
            for (int i = 0; i < 256; ++i) {
                palette[i].rgbRed = static_cast<BYTE>(i);
                palette[i].rgbGreen = static_cast<BYTE>(255 - i);
                palette[i].rgbBlue = static_cast<BYTE>(i * 7);
            }
        }
        const int bytes = bpp / 8;
        for (int y = 0; y < height; ++y) {
            BYTE* row = FreeImage_GetScanLine(image, y);
            for (int x = 0; x < width * bytes; ++x)
                row[x] = static_cast<BYTE>((x * 37 + y * 101 + 13) & 0xff);
        }
        const std::string path = (dir / name).string();
        EXPECT_TRUE(FreeImage_Save(format, image, path.c_str(), 0)) << path;
        FreeImage_Unload(image);
        return path;
    }

    // Level 0 of the texture as RGBA bytes.
    static std::vector<unsigned char> texels(GLuint texture, int width, int height) {
        std::vector<unsigned char> out(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    static void expectSameAsDecoded(const std::string& path) {
        int width = 0, height = 0;
        const std::vector<unsigned char> decoded = tovi::loadImage(path, width, height);
        ASSERT_GT(width, 0) << path;
        tovi::Texture texture(path);
        GLint w = 0, h = 0, w1 = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &w1);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
        EXPECT_EQ(w1, std::max(1, width / 2)) << "mipmapped";
        EXPECT_EQ(texels(texture.textureId, width, height), decoded) << path;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    fs::path dir;
};

TEST_F(TextureUploadTest, EveryKindOfPictureGivesTheDecodedTexels) {
    // Odd widths leave padding at the end of each decoded row.
    expectSameAsDecoded(write("rgb.png", 7, 5, 24, FIF_PNG));
    expectSameAsDecoded(write("rgba.png", 5, 3, 32, FIF_PNG));
    expectSameAsDecoded(write("rgb.bmp", 9, 4, 24, FIF_BMP));
    expectSameAsDecoded(write("palette.bmp", 6, 6, 8, FIF_BMP));
    expectSameAsDecoded(write("photo.jpg", 33, 17, 24, FIF_JPEG));
    // The game's own pictures.
    expectSameAsDecoded("Kobuldo/Textures/MyFont.bmp");
    expectSameAsDecoded("Kobuldo/Textures/ring.jpg");
    expectSameAsDecoded("Kobuldo/Textures/particle.png");
    expectSameAsDecoded("Kobuldo/Textures/wood.png");
    expectSameAsDecoded("Kobuldo/Textures/Startscreen.png");
}

TEST_F(TextureUploadTest, MipmapLevelsAreTheRoundedMeansDownToOneTexel) {
    // 4 x 2, 24-bit: level 1 is 2 x 1, level 2 is 1 x 1.
    FIBITMAP* image = FreeImage_Allocate(4, 2, 24);
    const BYTE values[2][12] = {{0, 10, 20, 1, 11, 21, 100, 200, 255, 101, 201, 255},
                                {2, 12, 22, 4, 14, 25, 102, 202, 255, 103, 203, 254}};
    for (int y = 0; y < 2; ++y)
        std::copy(values[y], values[y] + 12, FreeImage_GetScanLine(image, y));
    const std::string path = (dir / "mips.png").string();
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, path.c_str(), 0));
    FreeImage_Unload(image);

    tovi::Texture texture(path);
    unsigned char level1[2 * 4] = {}, level2[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1);
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, level2);
    // FreeImage keeps blue first; the texture is red first.
    const unsigned char expect1[8] = {22, 12, 2, 255, 255, 202, 102, 255};
    const unsigned char expect2[4] = {139, 107, 52, 255};
    EXPECT_EQ(std::vector<unsigned char>(level1, level1 + 8),
              std::vector<unsigned char>(expect1, expect1 + 8));
    EXPECT_EQ(std::vector<unsigned char>(level2, level2 + 4),
              std::vector<unsigned char>(expect2, expect2 + 4));
    GLint w3 = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &w3);
    EXPECT_EQ(w3, 0) << "no level below 1 x 1";
    GLint maxLevel = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    EXPECT_EQ(maxLevel, 2) << "the chain ends at its 1 x 1 level";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureUploadTest, MissingPictureUploadsAnEmptyImage) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    EXPECT_FALSE(tovi::uploadImage(GL_TEXTURE_2D, (dir / "missing.png").string()));
    GLint w = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}

} // namespace
