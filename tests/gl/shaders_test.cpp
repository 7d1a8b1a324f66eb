// Every shipped GLSL program compiles and links on a 3.3 core context and
// accepts exactly the inputs the game sets; the font, the text program and
// the blur also behave as the HUD and the glow need.
#include "GlTestContext.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using tovi::ShaderProgram;

std::unique_ptr<ShaderProgram> build(const std::string& vert, const std::string& frag) {
    return std::make_unique<ShaderProgram>("Kobuldo/Shader/" + vert, "Kobuldo/Shader/" + frag);
}

// Active uniforms of a program, by name, with their GL types.
std::vector<std::pair<std::string, GLenum>> activeUniforms(GLuint program) {
    std::vector<std::pair<std::string, GLenum>> out;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, &length, &size, &type, name);
        out.emplace_back(std::string(name, static_cast<size_t>(length)), type);
    }
    return out;
}

void expectUniform(GLuint program, const std::string& name, GLenum type) {
    auto all = activeUniforms(program);
    auto it = std::find_if(all.begin(), all.end(), [&](const auto& u) { return u.first == name; });
    ASSERT_NE(it, all.end()) << "uniform \"" << name << "\" is not active";
    EXPECT_EQ(it->second, type) << "uniform \"" << name << "\" has the wrong type";
}

void expectAttribute(GLuint program, const std::string& name) {
    EXPECT_GE(glGetAttribLocation(program, name.c_str()), 0) << "attribute \"" << name << "\" is not active";
}

// Slot-numbered inputs: the game enables these locations without looking
// them up, so the sources must pin them.
void expectAttributeAtSlot(GLuint program, GLint slot) {
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    bool found = false;
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof name, &length, &size, &type, name);
        if (glGetAttribLocation(program, name) == slot)
            found = true;
    }
    EXPECT_TRUE(found) << "no active attribute at slot " << slot;
}

// Programs that draw into the two-output scene framebuffer write the picture
// to "fragColor" (colour 0) and the glow to output 1.
void expectTwoOutputs(GLuint program) {
    EXPECT_EQ(glGetFragDataLocation(program, "fragColor"), 0);
    EXPECT_EQ(glGetFragDataLocation(program, "glowColor"), 1);
}

class ShaderProgramsTest : public tovi::testing::GlTest {};

TEST_F(ShaderProgramsTest, FullScreenProgramsTakeTheQuadAtSlotZero) {
    auto compose = build("texture.vert", "texture.frag");
    expectAttributeAtSlot(compose->programId, 0);
    expectUniform(compose->programId, "renderedTexture", GL_SAMPLER_2D);
    expectUniform(compose->programId, "gaussianTexture", GL_SAMPLER_2D);
    EXPECT_EQ(glGetFragDataLocation(compose->programId, "fragColor"), 0);

    auto gauss = build("texture.vert", "gauss.frag");
    expectAttributeAtSlot(gauss->programId, 0);
    expectUniform(gauss->programId, "image", GL_SAMPLER_2D);
    expectUniform(gauss->programId, "horizontal", GL_INT);

    auto pictures = build("texture.vert", "texturePure.frag");
    expectAttributeAtSlot(pictures->programId, 0);
    expectUniform(pictures->programId, "renderedTexture", GL_SAMPLER_2D);

    auto color = build("color.vert", "color.frag");
    EXPECT_NE(color->programId, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramsTest, MeshProgramsAcceptTheNamedAttributesAndUniforms) {
    auto def = build("default.vert", "default.frag");
    for (const char* a : {"position", "normal", "uv"})
        expectAttribute(def->programId, a);
    expectUniform(def->programId, "view_proj", GL_FLOAT_MAT4);
    expectUniform(def->programId, "model", GL_FLOAT_MAT4);
    expectUniform(def->programId, "color_texture", GL_SAMPLER_2D);
    expectTwoOutputs(def->programId);

    for (const char* stem : {"normalmap", "lampertPhong"}) {
        SCOPED_TRACE(stem);
        auto lit = build(std::string(stem) + ".vert", std::string(stem) + ".frag");
        for (const char* a : {"position", "normal", "uv", "tangent", "bitangent"})
            expectAttribute(lit->programId, a);
        for (const char* m : {"P", "V", "M", "depthBiasVP"})
            expectUniform(lit->programId, m, GL_FLOAT_MAT4);
        expectUniform(lit->programId, "shadowMap", GL_SAMPLER_2D_SHADOW);
        expectUniform(lit->programId, "DiffuseTextureSampler", GL_SAMPLER_2D);
        expectUniform(lit->programId, "NormalTextureSampler", GL_SAMPLER_2D);
        expectUniform(lit->programId, "lightPosWorld", GL_FLOAT_VEC3);
        expectTwoOutputs(lit->programId);
    }
}

TEST_F(ShaderProgramsTest, SlotProgramsPinTheirInputs) {
    auto sky = build("SkyBox.vert", "SkyBox.frag");
    expectAttributeAtSlot(sky->programId, 0);
    expectUniform(sky->programId, "view", GL_FLOAT_MAT4);
    expectUniform(sky->programId, "projection", GL_FLOAT_MAT4);
    expectUniform(sky->programId, "skyTexture", GL_SAMPLER_CUBE);
    expectTwoOutputs(sky->programId);

    auto depth = build("death.vert", "death.frag");
    expectAttributeAtSlot(depth->programId, 0);
    expectUniform(depth->programId, "depthMVP", GL_FLOAT_MAT4);

    auto text = build("Text.vert", "Text.frag");
    expectAttributeAtSlot(text->programId, 0);
    expectAttributeAtSlot(text->programId, 1);
    expectUniform(text->programId, "myTextureSampler", GL_SAMPLER_2D);
    expectTwoOutputs(text->programId);

    auto particles = build("Particle.vert", "Particle.frag");
    for (GLint slot : {0, 1, 2})
        expectAttributeAtSlot(particles->programId, slot);
    expectUniform(particles->programId, "camRightWorld", GL_FLOAT_VEC3);
    expectUniform(particles->programId, "camUpWorld", GL_FLOAT_VEC3);
    expectUniform(particles->programId, "VP", GL_FLOAT_MAT4);
    expectUniform(particles->programId, "sampler", GL_SAMPLER_2D);
    expectTwoOutputs(particles->programId);
}

// A colour + depth framebuffer to draw test quads into.
struct Target {
    explicit Target(int w, int h) : width(w), height(h) {
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        for (int i = 0; i < 2; ++i) {
            glGenTextures(1, &color[i]);
            glBindTexture(GL_TEXTURE_2D, color[i]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i),
                                   GL_TEXTURE_2D, color[i], 0);
        }
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, w, h);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glDrawBuffers(2, buffers);
        glViewport(0, 0, w, h);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    ~Target() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &depth);
        glDeleteTextures(2, color);
        glDeleteFramebuffers(1, &fbo);
    }
    std::vector<unsigned char> readColor(int attachment) const {
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(attachment));
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    std::vector<float> readDepth() const {
        std::vector<float> values(static_cast<size_t>(width) * static_cast<size_t>(height));
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, values.data());
        return values;
    }
    int width;
    int height;
    GLuint fbo = 0;
    GLuint color[2] = {0, 0};
    GLuint depth = 0;
};

// Draws one character the way the HUD does: quad corners in text space at
// (10, y) .. (30, y + 20) and the font cell's texture coordinates.
void drawGlyph(GLuint program, GLuint fontTexture, char c, float y) {
    const float left = 10.0f, right = 30.0f, bottom = y, top = y + 20.0f;
    const float positions[12] = {left,  top,    left,  bottom, right, top,
                                 right, bottom, right, top,    left,  bottom};
    const float u = static_cast<float>(c % 16) * 0.0625f;
    const float v = static_cast<float>(c / 16) * 0.0625f;
    const float d = 0.0625f;
    const float uvs[12] = {u, v, u, v + d, u + d, v, u + d, v + d, u + d, v, u, v + d};
    GLuint vao = 0, buffers[2] = {0, 0};
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, sizeof positions, positions, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ARRAY_BUFFER, sizeof uvs, uvs, GL_STATIC_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glUniform1i(glGetUniformLocation(program, "myTextureSampler"), 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glDisable(GL_BLEND);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glBindVertexArray(0);
    glDeleteBuffers(2, buffers);
    glDeleteVertexArrays(1, &vao);
}

TEST_F(ShaderProgramsTest, HudGlyphsReadUprightAndOnlyInkWritesDepth) {
    auto text = build("Text.vert", "Text.frag");
    tovi::Texture font("Kobuldo/Textures/MyFont.bmp");
    // text space is 800 x 600; a 1600 x 1200 target makes every unit two pixels
    const int w = 1600, h = 1200;
    Target target(w, h);
    drawGlyph(text->programId, font.textureId, 'T', 400.0f);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // the cell covers x 20..60 and y 800..840 in pixels (rows from the bottom)
    auto pixels = target.readColor(0);
    auto depth = target.readDepth();
    auto at = [&](int x, int y) { return static_cast<size_t>(y) * w + static_cast<size_t>(x); };
    int upper = 0, lower = 0, written = 0, cleared = 0;
    for (int y = 800; y < 840; ++y)
        for (int x = 20; x < 60; ++x) {
            int value = pixels[at(x, y) * 4 + 1] > 160 ? 1 : 0;
            (y >= 820 ? upper : lower) += value;
            (depth[at(x, y)] < 0.5f ? written : cleared) += 1;
        }
    // a T carries its bar at the top
    EXPECT_GT(upper, lower + 2) << "the glyph is upside down";
    EXPECT_GT(written, 0) << "the glyph writes no depth in front of the scene";
    EXPECT_GT(cleared, 0) << "transparent parts of the cell wrote depth";
    auto glow = target.readColor(1);
    EXPECT_EQ(*std::max_element(glow.begin(), glow.end()), 0) << "text must not glow";
}

TEST_F(ShaderProgramsTest, BlurKeepsAFlatImageFlat) {
    auto gauss = build("texture.vert", "gauss.frag");
    const int w = 64, h = 32;
    std::vector<unsigned char> flat(static_cast<size_t>(w) * h * 4, 200);
    GLuint source = 0;
    glGenTextures(1, &source);
    glBindTexture(GL_TEXTURE_2D, source);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, flat.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    Target target(w, h);
    const float quad[18] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};
    GLuint vao = 0, vbo = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glUseProgram(gauss->programId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source);
    glUniform1i(glGetUniformLocation(gauss->programId, "image"), 0);
    for (int horizontal : {1, 0}) {
        glUniform1i(glGetUniformLocation(gauss->programId, "horizontal"), horizontal);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        auto out = target.readColor(0);
        // every pixel, edges included, keeps the value (weights sum to one)
        for (size_t i = 0; i < out.size(); i += 4)
            ASSERT_NEAR(out[i], 200, 2) << "pixel " << i / 4 << " horizontal " << horizontal;
    }
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
    glDeleteTextures(1, &source);
}

} // namespace
