#pragma once
// What the scene-object and asset tests share: a temporary folder per test
// holding its own small Kobuldo/ tree (built from tests/data/scene_objects),
// the test programs, 1 x 1 pictures, a 16 x 16 render target and readers of
// GL state.
#include "render/ShaderProgram.h"
#include "scene/AssetStore.h"
#include "tests/gl/GlTestContext.h"

#include <FreeImage.h>
#include <glm/glm.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <array>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace tovi::testing {

namespace fs = std::filesystem;

inline const fs::path kData = fs::path(ZENTARO_TEST_DATA) / "scene_objects";
inline const std::string kObjects = "Kobuldo/Objects/V2/";

using Pixel = std::array<unsigned char, 4>;

// A 1 x 1 32-bit picture whose stored bytes are blue, green, red, alpha.
inline void writeImage(const fs::path& path, const Pixel& bgra) {
    FIBITMAP* bitmap = FreeImage_Allocate(1, 1, 32);
    ASSERT_NE(bitmap, nullptr);
    BYTE* bits = FreeImage_GetBits(bitmap);
    for (int i = 0; i < 4; ++i)
        bits[i] = bgra[i];
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0));
    FreeImage_Unload(bitmap);
}

// A 16 x 16 colour target, cleared to transparent black.
class RenderTarget {
  public:
    static constexpr int kSize = 16;
    RenderTarget() {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kSize, kSize);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, kSize, kSize);
        clear();
    }
    ~RenderTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &framebuffer);
    }
    void clear() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    Pixel at(int x, int y) const {
        Pixel p{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    bool drawnAt(int x, int y) const { return at(x, y)[3] != 0; }
    bool anythingDrawn() const {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (drawnAt(x, y))
                    return true;
        return false;
    }
    GLuint framebuffer = 0;
    GLuint colour = 0;
};

inline glm::vec3 uniformVec3(GLuint program, const char* name) {
    glm::vec3 v(-1.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(v));
    return v;
}

inline glm::mat4 uniformMat4(GLuint program, const char* name) {
    glm::mat4 m(-1.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), glm::value_ptr(m));
    return m;
}

inline GLint uniformInt(GLuint program, const char* name) {
    GLint v = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &v);
    return v;
}

inline GLuint boundTexture(GLenum unit) {
    GLint name = 0;
    glActiveTexture(unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    glActiveTexture(GL_TEXTURE0);
    return static_cast<GLuint>(name);
}

inline void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "component " << i;
}

inline void expectNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f) << "column " << c << " row " << r;
}

class SceneObjectsTest : public tovi::testing::GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure())
            return;
        std::random_device random;
        root = fs::temp_directory_path() / ("zentaro-scene-" + std::to_string(random()));
        fs::create_directories(root / "Kobuldo/Objects/V2");
        fs::create_directories(root / "Kobuldo/Textures");
        fs::current_path(root);
        normalmap = std::make_unique<ShaderProgram>((kData / "normalmap.vert").string(),
                                                    (kData / "normalmap.frag").string());
        plain = std::make_unique<ShaderProgram>((kData / "default.vert").string(),
                                                (kData / "default.frag").string());
        shadow = std::make_unique<ShaderProgram>((kData / "shadow.vert").string(),
                                                 (kData / "shadow.frag").string());
    }
    void TearDown() override {
        normalmap.reset();
        plain.reset();
        shadow.reset();
        GlTest::TearDown();
        std::error_code ignored;
        if (!root.empty())
            fs::remove_all(root, ignored);
    }

    // Puts the quad fixture (and its collision mesh) under the given names.
    void installMesh(const std::string& name, bool withCollision = false) {
        fs::copy_file(kData / "quad.obj", root / (kObjects + name + ".obj"));
        if (withCollision)
            fs::copy_file(kData / "quad.stl", root / (kObjects + name + ".stl"));
    }
    void installTexture(const std::string& name, const Pixel& bgra = {10, 20, 30, 255}) {
        writeImage(root / "Kobuldo/Textures" / name, bgra);
    }

    fs::path root;
    tovi::scene::AssetStore assets;
    std::unique_ptr<ShaderProgram> normalmap;
    std::unique_ptr<ShaderProgram> plain;
    std::unique_ptr<ShaderProgram> shadow;
};

} // namespace tovi::testing
