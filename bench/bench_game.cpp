// The game itself, measured from the inside: this program runs the game's own
// tovi::runGame (window, scene setup, main loop, teardown) with two link-time
// wrappers that only this benchmark has (see bench/CMakeLists.txt):
//
//   glfwSwapBuffers           notes when each frame has been presented
//   tovi::setupScene(window)  times scene setup alone
//
// The game binary is untouched: no hook, no extra option. bench_startup and
// bench_race start this program in a private run folder and read what it
// writes into the result file.
//
//   bench_game --out FILE [--launched-at NS] [--race SECONDS] [--fly 1] [--blur FRAG]
//              [--pieces FRAG] [--passes SECONDS] [--picture PNG]
//              [-- game arguments]
//
// The game presents its start screen in the middle of set-up, then its first
// frame with everything set up (ready to play). Without --race the game
// stops at the latter (start-up measurement); both times are written. With
// --race the race is started at the first frame after set-up
// (tovi::myCollision->startRace(), frame-rate HUD lines on), frames are timed
// for SECONDS after a warm-up (one second and at least five race frames: the
// first ones compile the scene's shaders, seconds on a busy machine), and
// then, in the same window, the pipeline's own passes are timed for SECONDS
// with nothing in the scene: the shadow pass with no casters, the off-screen
// clears, the three blur passes and the composition. --blur replaces the glow
// blur program by one built from "Kobuldo/Shader/texture.vert" and FRAG, for
// trying other kernels without touching the shipped shader; --pieces likewise
// builds the track pieces' program from "Kobuldo/Shader/normalmap.vert" and
// FRAG. --passes (after --race) then spends SECONDS in all drawing one frozen
// race frame with each part of the scene left out in turn (the frame
// composition skips a part whose object is missing), which shows what each
// part costs. --fly 1 (with --race) measures the level editor instead: edit
// mode on, its camera flying a fixed path (kFlight below) while the race runs
// on underneath. --picture draws the fixed race frame of FramePicture.h
// instead of a race, saves it as PNG and stops.
#include "BenchSupport.h"
#include "FixedFrame.h"
#include "MemoryCensus.h"

#include "app/FrameComposition.h"
#include "app/Game.h"
#include "app/Globals.h"
#include "app/SceneSetup.h"
#include "core/controls/Controls.h"
#include "core/race/MyCollision.h"
#include "render/GL.h"
#include "render/OffscreenBuffer.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SkyBox.h"
#include "render/TextRenderer.h"
#include "scene/Light.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"
#include "scene/PieceBatches.h"
#include "scene/Track.h"

#include <GLFW/glfw3.h>

#include <memory>

#include <cmath>
#include <cstring>
#include <malloc.h>
#include <string>
#include <vector>

extern "C" {
void __real_glfwSwapBuffers(GLFWwindow* window);
void __wrap_glfwSwapBuffers(GLFWwindow* window);
// tovi::setupScene(GLFWwindow*), by its linker name.
void __real__ZN4tovi10setupSceneEP10GLFWwindow(GLFWwindow* window);
void __wrap__ZN4tovi10setupSceneEP10GLFWwindow(GLFWwindow* window);
}

namespace {

struct Options {
    std::string out;
    long long launchedAt = 0;
    double raceSeconds = 0;
    std::string blurShader;
    std::string pieceShader;
    double passSeconds = 0;
    std::string picture;         // draw the fixed frame into this PNG and stop
    bool trimAfterSetup = false; // diagnostic: how much of the heap is free after setup
    bool fly = false;            // the editor's camera on its fixed path instead of the race camera
};
Options options;

long long mainStartNs = 0;
long driverCodeBeforeSetupKb = 0;
long long setupStartNs = 0;
long long setupEndNs = 0;
long long setupStartCpuNs = 0;
long long setupEndCpuNs = 0;
int presented = 0;
long long firstPresentNs = 0;
bool setupDone = false;
bool readyHandled = false;
bool measuring = false;

void result(const char* key, double value) {
    bench::appendResult(options.out, key, value);
}

// The off-screen clear of the scene frame, as the frame composition does it:
// both outputs and the depth at once.
void clearSceneOutputs(GLuint framebuffer) {
    const GLenum outputs[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, tovi::screenWidth, tovi::screenHeight);
    glDrawBuffers(2, outputs);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// One frame of the pipeline with an empty scene, through the same calls the
// main loop and the frame composition make.
void emptyPipelineFrame(GLFWwindow* window) {
    static const std::vector<tovi::scene::SceneObject*> noCasters;
    glfwPollEvents();
    tovi::shadowMap->drawShadowPass(noCasters, tovi::screenWidth, tovi::screenHeight);
    clearSceneOutputs(tovi::offscreenBuffer->sceneFramebuffer());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    tovi::offscreenBuffer->blurPass(*tovi::gaussShader);
    glEnable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    tovi::offscreenBuffer->composePass(*tovi::textureShader);
    __real_glfwSwapBuffers(window);
    glGetError();
}

// Frame times of `seconds` of presented frames, from the frame hook.
struct RaceLog {
    long long phaseStart = 0;
    long long phaseStartCpu = 0;
    long long lastPresent = 0;
    std::vector<double> frameMs;
    int restarts = 0;
    int framesOnCourse = 0; // frames with the ball above the ground plane
    long liveParticles = 0;
};
RaceLog race;
long long warmupEnd = 0;
long long flightStart = 0;

// The editor's flight: a circle of kFlightRadius, kFlightHeight above the
// ball's start, once round in kFlightLap seconds, looking at the start.
constexpr float kFlightRadius = 30.0f;
constexpr float kFlightHeight = 20.0f;
constexpr double kFlightLap = 10.0;

void placeFlyingCamera(long long now) {
    const glm::vec3 start(-0.88f, 65.8f, 21.2f);
    const double turn = 2.0 * 3.14159265358979 * static_cast<double>(now - flightStart) / 1e9 / kFlightLap;
    const glm::vec3 at = start + glm::vec3(kFlightRadius * static_cast<float>(std::cos(turn)), kFlightHeight,
                                           kFlightRadius * static_cast<float>(std::sin(turn)));
    const glm::vec3 look = glm::normalize(start - at);
    tovi::controls->editing.editMode = true;
    tovi::controls->camera.position = at;
    tovi::controls->camera.horizontalAngle = std::atan2(look.x, look.z);
    tovi::controls->camera.verticalAngle = std::asin(look.y);
}
int warmupFrames = 0;
constexpr int kWarmupFrames = 5;

void writeFrameFigures(const char* prefix, const std::vector<double>& frameMs, double seconds, double cpuMs) {
    const bench::Summary s = bench::summarize(frameMs);
    const std::string p = prefix;
    result((p + "_frames").c_str(), static_cast<double>(frameMs.size()));
    result((p + "_seconds").c_str(), seconds);
    result((p + "_fps").c_str(), seconds > 0 ? static_cast<double>(frameMs.size()) / seconds : 0.0);
    result((p + "_frame_ms_median").c_str(), s.median);
    result((p + "_frame_ms_max").c_str(), s.max);
    // CPU time of all threads per frame: the work a frame takes, which other
    // load on the machine changes far less than the frame rate.
    result((p + "_cpu_ms_per_frame").c_str(),
           frameMs.empty() ? 0.0 : cpuMs / static_cast<double>(frameMs.size()));
}

void measureCeiling(GLFWwindow* window) {
    // A few frames to settle, then the timed ones.
    for (int i = 0; i < 3; ++i)
        emptyPipelineFrame(window);
    std::vector<double> frameMs;
    const long long start = bench::nowNs();
    const long long cpuStart = bench::cpuNs();
    long long last = start;
    const long long end = start + static_cast<long long>(options.raceSeconds * 1e9);
    while (bench::nowNs() < end) {
        emptyPipelineFrame(window);
        const long long now = bench::nowNs();
        frameMs.push_back(static_cast<double>(now - last) / 1e6);
        last = now;
    }
    writeFrameFigures("ceiling", frameMs, static_cast<double>(last - start) / 1e9,
                      static_cast<double>(bench::cpuNs() - cpuStart) / 1e6);
}

// A race frame as the main loop runs it, with one part of the scene left
// out: the frame composition skips what is not there.
struct KnockOut {
    const char* name;
    void** slot;
};

struct PassCost {
    double wallMs = 0, cpuMs = 0;
};

// Draws the current race frame again and again for `seconds`, frozen (no
// frame update, so every variant sees the same picture), with the part in
// `slot` left out. Wall and CPU milliseconds per frame.
PassCost frozenFrameCost(GLFWwindow* window, void** slot, double seconds) {
    auto frame = [&] {
        glfwPollEvents();
        void* kept = slot != nullptr ? *slot : nullptr;
        if (slot != nullptr)
            *slot = nullptr;
        tovi::drawFrame();
        if (slot != nullptr)
            *slot = kept;
        __real_glfwSwapBuffers(window);
        glGetError();
    };
    frame();
    int frames = 0;
    const long long start = bench::nowNs(), cpuStart = bench::cpuNs();
    while (bench::nowNs() - start < static_cast<long long>(seconds * 1e9)) {
        frame();
        ++frames;
    }
    PassCost c;
    c.wallMs = static_cast<double>(bench::nowNs() - start) / 1e6 / frames;
    c.cpuMs = static_cast<double>(bench::cpuNs() - cpuStart) / 1e6 / frames;
    return c;
}

void measurePasses(GLFWwindow* window) {
    // Back to a moment of the race with the ball on the course.
    tovi::myCollision->startRace();
    for (int i = 0; i < 30; ++i) {
        glfwPollEvents();
        tovi::deltaTime = 1.0 / 15.0;
        tovi::updateFrame();
    }
    const KnockOut parts[] = {
        {"all", nullptr},
        {"no_shadow_pass", reinterpret_cast<void**>(&tovi::shadowMap)},
        {"no_hud", reinterpret_cast<void**>(&tovi::textRenderer)},
        {"no_sky", reinterpret_cast<void**>(&tovi::skyBox)},
        {"no_ball", reinterpret_cast<void**>(&tovi::lampertPhongShader)},
        {"no_rings_no_lamps", reinterpret_cast<void**>(&tovi::defaultShader)},
        {"no_lamps", reinterpret_cast<void**>(&tovi::light)},
        {"no_pieces", reinterpret_cast<void**>(&tovi::normalmapShader)},
        {"no_particles", reinterpret_cast<void**>(&tovi::particleRenderer)},
    };
    constexpr int kParts = sizeof(parts) / sizeof(parts[0]);
    constexpr int kRounds = 5;
    // Interleaved rounds, so a change in the machine's load touches every
    // variant alike; the median round counts.
    std::vector<double> wall[kParts], cpu[kParts];
    for (int round = 0; round < kRounds; ++round)
        for (int k = 0; k < kParts; ++k) {
            const PassCost c =
                frozenFrameCost(window, parts[k].slot, options.passSeconds / (kRounds * kParts));
            wall[k].push_back(c.wallMs);
            cpu[k].push_back(c.cpuMs);
        }
    for (int k = 0; k < kParts; ++k) {
        result((std::string("passes_wall_ms_") + parts[k].name).c_str(), bench::summarize(wall[k]).median);
        result((std::string("passes_cpu_ms_") + parts[k].name).c_str(), bench::summarize(cpu[k]).median);
    }
}

// Gives every track piece a program built from the shipped vertex shader and
// another fragment shader. The pieces' vertex arrays keep the attribute
// locations of the shipped program, so the new one must have the same.
// Shaders a run tries instead of the shipped ones; released before teardown.
std::unique_ptr<tovi::ShaderProgram> triedBlurShader;
std::unique_ptr<tovi::ShaderProgram> triedPieceShader;
std::unique_ptr<tovi::scene::PieceBatches> triedBatches;

// Ends the run: the tried shaders go while the context is current; the
// main loop leaves before drawing again.
void finishRun(GLFWwindow* window) {
    triedBlurShader.reset();
    triedPieceShader.reset();
    triedBatches.reset();
    tovi::pieceBatches = nullptr;
    glfwSetWindowShouldClose(window, GLFW_TRUE);
}

bool usePieceShader(const std::string& fragment) {
    triedPieceShader = std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/normalmap.vert", fragment);
    tovi::ShaderProgram* program = triedPieceShader.get();
    for (const char* name : {"position", "normal", "uv", "tangent", "bitangent"}) {
        if (glGetAttribLocation(program->programId, name) !=
            glGetAttribLocation(tovi::normalmapShader->programId, name)) {
            std::fprintf(stderr, "bench_game: %s has another location for \"%s\"\n", fragment.c_str(), name);
            result("piece_shader_refused", 1);
            return false;
        }
    }
    for (tovi::scene::SceneObject* piece : tovi::tracks)
        if (auto* track = dynamic_cast<tovi::scene::Track*>(piece))
            track->program = program;
    tovi::normalmapShader = program; // the shipped one stays alive in the scene
    // The pieces are drawn a kind at a time: that program takes the fragment too.
    triedBatches = std::make_unique<tovi::scene::PieceBatches>(fragment);
    tovi::pieceBatches = triedBatches.get();
    return true;
}

// What the resident memory at the first frame is made of (see MemoryCensus.h).
void writeMemoryCensus() {
    const double mb = 1024.0 * 1024.0;
    const bench::GlMemory gl = bench::censusOfGlObjects();
    result("memory_driver_code_before_setup_mb", static_cast<double>(driverCodeBeforeSetupKb) / 1024.0);
    result("memory_driver_code_mb", static_cast<double>(bench::driverCodeKb()) / 1024.0);
    result("memory_picture_textures_mb", gl.pictureTextures / mb);
    result("memory_picture_textures", gl.pictureCount);
    result("memory_sky_box_mb", gl.cubeMaps / mb);
    result("memory_render_targets_mb", (gl.targetTextures + gl.renderbuffers) / mb);
    result("memory_gl_buffers_mb", gl.buffers / mb);
}

// The first frame after set-up: the game is ready to play.
void onReadyFrame(GLFWwindow* window) {
    const long long now = bench::nowNs();
    if (options.launchedAt > 0) {
        result("launch_to_first_frame_ms", static_cast<double>(firstPresentNs - options.launchedAt) / 1e6);
        result("launch_to_ready_ms", static_cast<double>(now - options.launchedAt) / 1e6);
    }
    result("main_to_first_frame_ms", static_cast<double>(firstPresentNs - mainStartNs) / 1e6);
    result("setup_ms", static_cast<double>(setupEndNs - setupStartNs) / 1e6);
    result("setup_cpu_ms", static_cast<double>(setupEndCpuNs - setupStartCpuNs) / 1e6);
    // CPU time of the process from its start (all threads): what the
    // start-up costs when nothing else competes for the cores.
    result("cpu_to_first_frame_ms", static_cast<double>(bench::cpuNs()) / 1e6);
    result("window_and_context_ms", static_cast<double>(setupStartNs - mainStartNs) / 1e6);
    result("first_frame_after_setup_ms", static_cast<double>(now - setupEndNs) / 1e6);
    result("rss_at_first_frame_mb", static_cast<double>(bench::residentKb()) / 1024.0);
    writeMemoryCensus();
    result("pieces", static_cast<double>(tovi::tracks.size()));
    result("rings", static_cast<double>(tovi::rings.size()));
    if (!options.picture.empty()) {
        result("picture_saved", bench::drawFixedFrame(options.picture) ? 1 : 0);
        finishRun(window);
        return;
    }
    if (options.raceSeconds <= 0) {
        finishRun(window);
        return;
    }
    if (!options.blurShader.empty()) {
        triedBlurShader =
            std::make_unique<tovi::ShaderProgram>("Kobuldo/Shader/texture.vert", options.blurShader);
        tovi::gaussShader = triedBlurShader.get();
    }
    if (!options.pieceShader.empty() && !usePieceShader(options.pieceShader)) {
        finishRun(window);
        return;
    }
    tovi::myCollision->startRace();
    tovi::controls->display.showFrameRate = true;
    flightStart = now;
    if (options.fly)
        placeFlyingCamera(now);
    warmupEnd = now + 1000000000LL;
    measuring = true;
}

void onRaceFrame(GLFWwindow* window) {
    const long long now = bench::nowNs();
    if (tovi::myCollision->state != tovi::MyCollision::Racing) {
        // Passing every ring ends the race; a measured frame is a race frame.
        tovi::myCollision->startRace();
        ++race.restarts;
    }
    if (options.fly)
        placeFlyingCamera(now);
    if (now < warmupEnd || warmupFrames < kWarmupFrames) {
        ++warmupFrames;
        race.phaseStart = race.lastPresent = now;
        race.phaseStartCpu = bench::cpuNs();
        return;
    }
    race.frameMs.push_back(static_cast<double>(now - race.lastPresent) / 1e6);
    race.lastPresent = now;
    if (tovi::ball->modelMatrix[3][1] > -4.0f)
        ++race.framesOnCourse;
    race.liveParticles += tovi::particleRenderer->particles.particleCount;
    if (static_cast<double>(now - race.phaseStart) / 1e9 < options.raceSeconds)
        return;

    const double seconds = static_cast<double>(now - race.phaseStart) / 1e9;
    writeFrameFigures("race", race.frameMs, seconds,
                      static_cast<double>(bench::cpuNs() - race.phaseStartCpu) / 1e6);
    const double frames = static_cast<double>(race.frameMs.size());
    result("race_restarts", race.restarts);
    result("race_ball_on_course_share", frames > 0 ? race.framesOnCourse / frames : 0.0);
    result("race_live_particles_mean", frames > 0 ? static_cast<double>(race.liveParticles) / frames : 0.0);
    measuring = false;
    measureCeiling(window);
    if (options.passSeconds > 0)
        measurePasses(window);
    finishRun(window);
}

} // namespace

extern "C" void __wrap__ZN4tovi10setupSceneEP10GLFWwindow(GLFWwindow* window) {
    result("rss_before_setup_mb", static_cast<double>(bench::residentKb()) / 1024.0);
    driverCodeBeforeSetupKb = bench::driverCodeKb();
    setupStartNs = bench::nowNs();
    setupStartCpuNs = bench::cpuNs();
    __real__ZN4tovi10setupSceneEP10GLFWwindow(window);
    setupEndCpuNs = bench::cpuNs();
    setupEndNs = bench::nowNs();
    setupDone = true;
    result("rss_after_setup_mb", static_cast<double>(bench::residentKb()) / 1024.0);
    if (options.trimAfterSetup) {
        malloc_trim(0);
        result("rss_after_setup_trimmed_mb", static_cast<double>(bench::residentKb()) / 1024.0);
    }
}

extern "C" void __wrap_glfwSwapBuffers(GLFWwindow* window) {
    __real_glfwSwapBuffers(window);
    if (++presented == 1)
        firstPresentNs = bench::nowNs();
    if (setupDone && !readyHandled) {
        readyHandled = true;
        onReadyFrame(window);
    } else if (measuring)
        onRaceFrame(window);
}

int main(int argc, char** argv) {
    mainStartNs = bench::nowNs();
    std::vector<char*> gameArgs = {argv[0]};
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "bench_game: %s needs a value\n", a.c_str());
            return 2;
        }
        if (a == "--out")
            options.out = argv[++i];
        else if (a == "--launched-at")
            options.launchedAt = std::atoll(argv[++i]);
        else if (a == "--race")
            options.raceSeconds = std::atof(argv[++i]);
        else if (a == "--blur")
            options.blurShader = argv[++i];
        else if (a == "--trim")
            options.trimAfterSetup = std::atoi(argv[++i]) != 0;
        else if (a == "--pieces")
            options.pieceShader = argv[++i];
        else if (a == "--picture")
            options.picture = argv[++i];
        else if (a == "--fly")
            options.fly = std::atoi(argv[++i]) != 0;
        else if (a == "--passes")
            options.passSeconds = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "bench_game: unknown option %s\n", a.c_str());
            return 2;
        }
    }
    for (; i < argc; ++i)
        gameArgs.push_back(argv[i]);
    gameArgs.push_back(nullptr);

    const int status = tovi::runGame(static_cast<int>(gameArgs.size()) - 1, gameArgs.data());
    result("frames_presented", presented);
    result("peak_resident_mb", static_cast<double>(bench::peakResidentKb()) / 1024.0);
    result("exit_status", status);
    return status;
}
