// Where start-up time goes: every loader the scene setup runs, timed on its
// own with the game data of the source tree (median of several repetitions):
// image decoding (loadImage), a whole texture (decode, upload, mipmaps), OBJ
// reading with tangent frames and the merging indexer, STL reading, a piece's
// collision body, one track piece as the game builds it (the first of its
// kind and one more sharing its assets), and each shader program. Times are CPU time of the process (all
// threads, the GL driver's included), which other work on the machine disturbs far less than the wall clock.
// Needs a display (tools/bench.sh runs it under Xvfb).
//
//   bench_loaders [--reps N]
#include "BenchSupport.h"

#include "core/media/PngReader.h"
#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"
#include "render/GL.h"
#include "render/ShaderProgram.h"
#include "render/Texture.h"
#include "scene/AssetStore.h"
#include "scene/MeshBuffers.h"
#include "scene/Track.h"

#include <GLFW/glfw3.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

int reps = 9;

double medianMs(const std::function<void()>& work) {
    work(); // warm caches and lazy driver set-up
    std::vector<double> ms;
    for (int i = 0; i < reps; ++i) {
        const long long start = bench::cpuNs();
        work();
        ms.push_back(static_cast<double>(bench::cpuNs() - start) / 1e6);
    }
    return bench::summarize(ms).median;
}

void line(const std::string& what, double ms) {
    std::printf("  %-52s %8.2f ms\n", what.c_str(), ms);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--reps") == 0)
            reps = std::max(1, std::atoi(argv[++i]));

    std::string label;
    bench::RunDir dir(bench::courseUnderTest(label));
    bench::fs::current_path(dir.root);
    if (!dir.standIns.empty())
        std::printf("  stand-in meshes: %s\n", bench::joined(dir.standIns).c_str());

    if (!glfwInit())
        return 1;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(1000, 780, "bench", nullptr, nullptr);
    if (window == nullptr)
        return 1;
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    glewInit();
    while (glGetError() != GL_NO_ERROR) {
    }

    std::printf("== Loaders (CPU time, median of %d, warm file cache) ==\n", reps);
    {
        // The very first texture also pays for one-time set-up in the image
        // library and the GL driver (its mipmap generation is compiled on
        // first use).
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        long long start = bench::cpuNs();
        tovi::uploadImage(GL_TEXTURE_2D, "Kobuldo/Textures/ring.jpg");
        glFinish();
        line("first picture of the process, decode + upload",
             static_cast<double>(bench::cpuNs() - start) / 1e6);
        start = bench::cpuNs();
        glGenerateMipmap(GL_TEXTURE_2D);
        glFinish();
        line("first glGenerateMipmap of the process", static_cast<double>(bench::cpuNs() - start) / 1e6);
        glDeleteTextures(1, &id);
    }
    const std::string tex = "Kobuldo/Textures/";
    for (const char* name : {"wood.png", "wood-normal.png", "pellixTex.jpg", "pellixTex2.jpg", "ring.jpg",
                             "right.png", "top.png", "Startscreen.png", "MyFont.bmp"}) {
        int w = 0, h = 0;
        line(std::string("loadImage ") + name, medianMs([&] { tovi::loadImage(tex + name, w, h); }));
    }
    for (const char* name : {"wood.png", "right.png", "Startscreen.png"}) {
        tovi::PngPicture png;
        const bool taken = tovi::readPlainPng(tex + name, png);
        line(std::string("readPlainPng ") + name + (taken ? "" : " (declined)"),
             medianMs([&] { tovi::readPlainPng(tex + name, png); }));
    }
    // YouWin.png is loaded when the race is first won: its time is the
    // pause before the win picture appears.
    for (const char* name : {"wood.png", "YouWin.png"}) {
        line(std::string("Texture ") + name + " (decode, upload, mipmaps)", medianMs([&] {
                 tovi::Texture t(tex + name);
                 glFinish();
             }));
    }
    {
        int w = 0, h = 0;
        const std::vector<unsigned char> pixels = tovi::loadImage(tex + "wood.png", w, h);
        GLuint id = 0;
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        line("  upload only (glTexImage2D 512 x 512)", medianMs([&] {
                 glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
                 glFinish();
             }));
        line("  mipmaps only (glGenerateMipmap)", medianMs([&] {
                 glGenerateMipmap(GL_TEXTURE_2D);
                 glFinish();
             }));
        glDeleteTextures(1, &id);
    }

    {
        // What one more texture adds to the resident memory.
        std::vector<std::unique_ptr<tovi::Texture>> kept;
        const long before = bench::residentKb();
        for (int i = 0; i < 10; ++i)
            kept.push_back(std::make_unique<tovi::Texture>(tex + "wood.png"));
        glFinish();
        std::printf("  %-52s %8.2f MB (the texels with their mipmaps: %.2f MB)\n",
                    "resident memory per wood.png texture",
                    static_cast<double>(bench::residentKb() - before) / 1024.0 / 10,
                    512.0 * 512 * 4 * 4 / 3 / 1048576);
    }
    const std::string obj = "Kobuldo/Objects/V2/";
    for (const char* name : {"straight", "ramp", "left", "right", "shpere", "pellixHead", "ring", "light"}) {
        std::vector<glm::vec3> p, n, t, b;
        std::vector<glm::vec2> uv;
        line(std::string("loadObjMesh ") + name + ".obj", medianMs([&] {
                 p.clear(), uv.clear(), n.clear();
                 tovi::scene::SceneObject::loadObjMesh(obj + name + ".obj", p, uv, n);
             }));
        line(std::string("  tangents + merging indexer (") + std::to_string(p.size()) + " corners)",
             medianMs([&] {
                 std::vector<glm::vec3> tt, bb, op, on, ot, ob;
                 std::vector<glm::vec2> ou;
                 std::vector<unsigned short> idx;
                 tovi::scene::computeTangentFrames(p, uv, n, tt, bb);
                 tovi::scene::buildIndexedMeshWithTangents(p, uv, n, tt, bb, idx, op, ou, on, ot, ob);
             }));
    }
    for (const char* name : {"straight", "ramp", "left", "right"}) {
        std::vector<glm::vec3> v;
        line(std::string("loadStlVertices ") + name + ".stl", medianMs([&] {
                 v.clear();
                 tovi::scene::SceneObject::loadStlVertices(obj + name + ".stl", v);
             }));
        tovi::PhysicsWorld world;
        line(std::string("  addTrackBody (") + std::to_string(v.size() / 3) + " triangles)",
             medianMs([&] { world.addTrackBody(v, glm::mat4(1.0f)); }));
    }

    std::unique_ptr<tovi::ShaderProgram> normalmap(
        new tovi::ShaderProgram("Kobuldo/Shader/normalmap.vert", "Kobuldo/Shader/normalmap.frag"));
    {
        // A piece whose kind is new loads its mesh, collision mesh and
        // pictures; every further one shares them.
        tovi::PhysicsWorld world;
        for (const char* name : {"straight", "left"}) {
            line(std::string("whole track piece, first of its kind: ") + name, medianMs([&] {
                     tovi::scene::AssetStore assets;
                     tovi::scene::Track piece(glm::mat4(1.0f), normalmap.get(), &world, obj + name, assets);
                     glFinish();
                 }));
            tovi::scene::AssetStore assets;
            tovi::scene::Track first(glm::mat4(1.0f), normalmap.get(), &world, obj + name, assets);
            line(std::string("  another piece of the kind (shared assets)"), medianMs([&] {
                     tovi::scene::Track piece(glm::mat4(1.0f), normalmap.get(), &world, obj + name, assets);
                     glFinish();
                 }));
        }
    }

    const char* programs[][2] = {
        {"texture.vert", "texture.frag"},     {"texture.vert", "gauss.frag"},
        {"color.vert", "color.frag"},         {"default.vert", "default.frag"},
        {"normalmap.vert", "normalmap.frag"}, {"lampertPhong.vert", "lampertPhong.frag"},
        {"SkyBox.vert", "SkyBox.frag"},       {"texture.vert", "texturePure.frag"},
        {"death.vert", "death.frag"},         {"Text.vert", "Text.frag"},
        {"Particle.vert", "Particle.frag"}};
    double total = 0;
    for (auto& pr : programs) {
        const double ms = medianMs([&] {
            tovi::ShaderProgram program(std::string("Kobuldo/Shader/") + pr[0],
                                        std::string("Kobuldo/Shader/") + pr[1]);
            glFinish();
        });
        total += ms;
        line(std::string("ShaderProgram ") + pr[0] + " + " + pr[1], ms);
    }
    line("all eleven programs", total);

    glfwDestroyWindow(window);
    glfwTerminate();
    return 0;
}
