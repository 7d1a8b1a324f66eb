#include "app/Game.h"

#include "app/FrameComposition.h"
#include "app/GameMenus.h"
#include "app/GameWindow.h"
#include "app/Globals.h"
#include "app/LeakCheckSupport.h"
#include "app/SceneSetup.h"
#include "core/controls/Controls.h"
#include "core/input/ModalStack.h"
#include "core/player/PlayerOptions.h"
#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "core/system/CommandLine.h"
#include "core/system/DataPaths.h"
#include "core/system/Pause.h"
#include "render/GL.h"
#include "render/PicturePrefetch.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <thread>
#include <unistd.h>

namespace tovi {

void setContextHints() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
}

namespace {

// How much decoded picture data may wait for set-up to take it: enough for
// the start screen and the ball, the pieces and a sky face or two.
constexpr std::size_t kPrefetchAheadBytes = 4u << 20;

void printGlfwError(int, const char* description) {
    std::cout << "GLFW: " << (description != nullptr ? description : "unknown error") << std::endl;
}

void fitToMonitor(int& width, int& height) {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    if (mode == nullptr)
        return;
    width = std::min(width, mode->width);
    height = std::min(height, mode->height);
}

void followWindow(const GameWindow& gameWindow) {
    int windowWidth = 0;
    int windowHeight = 0;
    gameWindow.windowSize(windowWidth, windowHeight);
    resizeScene(gameWindow.framebufferWidth(), gameWindow.framebufferHeight(), windowWidth, windowHeight);
}

// What the panels over the game need to know of it this frame.
MenuScene menuScene() {
    MenuScene scene;
    if (myCollision == nullptr || controls == nullptr)
        return scene;
    const auto state = myCollision->state;
    scene.editMode = controls->editing.editMode;
    scene.onScreen = !scene.editMode && (state == MyCollision::StartScreen || state == MyCollision::Won ||
                                         state == MyCollision::Lost);
    scene.startScreen = state == MyCollision::StartScreen;
    scene.paused = myCollision->paused();
    scene.showHelp = controls->display.showHelp;
    if (scene.editMode && controls->editing.cursorFree)
        scene.editor = &controls->editing.editor;
    return scene;
}

// The scene from set-up to teardown and the frames in between, until the
// window closes or Escape is pressed. sizeGiven: the command line chose the
// window's size for this run.
void runFrames(GLFWwindow* window, std::unique_ptr<PicturePrefetch>& prefetch, bool sizeGiven) {
    double lastTime = glfwGetTime();
    GameWindow gameWindow(window);
    // Everything is made for the framebuffer, which on a high-density screen
    // is larger than the window.
    screenWidth = gameWindow.framebufferWidth();
    screenHeight = gameWindow.framebufferHeight();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glViewport(0, 0, screenWidth, screenHeight);

    setupScene(window);
    // What set-up did not take is of no further use.
    setBeforeFatalExit({});
    usePicturePrefetch(nullptr);
    prefetch.reset();
    followWindow(gameWindow);
    // The options, the key help and the screens' key panels over the scene.
    MenuHooks hooks;
    hooks.readSound = sceneSound;
    hooks.setSound = setSceneSound;
    hooks.controlsChanged = [] { applyControlOptions(*playerOptions); };
    auto menus = std::make_unique<GameMenus>(window, gameWindow, *modalStack, *playerSettings, *playerOptions,
                                             std::move(hooks), sizeGiven);
    menus->applyDisplay(true);

    bool wasHidden = false;
    while (!glfwWindowShouldClose(window)) {
        const auto frameStart = std::chrono::steady_clock::now();
        gameWindow.pollEvents();
        if (gameWindow.update())
            followWindow(gameWindow);
        const bool hidden = gameWindow.hidden();
        if (hidden != wasHidden)
            sceneHidden(hidden);
        wasHidden = hidden;
        if (hidden) {
            // Nothing to draw on: sleep until something happens, and let the
            // time away count for nothing in the next frame.
            glfwWaitEvents();
            lastTime = glfwGetTime();
            continue;
        }
        double now = glfwGetTime();
        deltaTime = now - lastTime;
        lastTime = now;
        // The options, questions and the name field take every key while
        // open; the frame update then only keeps a running race paused.
        // Escape with none open quits, asking first about unsaved edits.
        const GameMenus::Input input = menus->update(menuScene());
        if (input.escapeForGame && controls != nullptr)
            controls->escape();

        updateFrame();
        drawFrame();
        menus->draw(menuScene(), gameWindow.framebufferWidth(), gameWindow.framebufferHeight());
        // While a panel field is typed into, or the pointer is over a panel,
        // the game's keys (mouse buttons) rest.
        gameWindow.panelInput(menus->panelKeyboard(), menus->panelMouse());

        glfwSwapBuffers(window);
        if (glGetError() != GL_NO_ERROR)
            std::cout << "GL ERROR DETECTED!!!" << std::endl;
        if (controls == nullptr || controls->quitting())
            break;
        if (menus->frameSeconds() > 0.0)
            std::this_thread::sleep_until(frameStart + std::chrono::duration<double>(menus->frameSeconds()));
        // The window's close button asks like Escape.
        if (glfwWindowShouldClose(window) && !controls->requestQuit())
            glfwSetWindowShouldClose(window, GLFW_FALSE);
    }
    // The panels go while the context is current, before the modals they
    // may still have open.
    modalStack->clear();
    menus.reset();
    teardownScene();
}

} // namespace

int runGame(int argc, char** argv) {
    CommandLineResult args = parseCommandLine(argc, argv, std::cout);
    if (args.showHelp || args.showVersion) {
        std::cout << (args.showHelp ? usageText(resolveDataPaths(currentDataEnvironment())) : versionText())
                  << std::flush;
        return 0;
    }
    if (!args.ok)
        pauseAndExit(args.exitStatus);

    // Every path the game opens is relative to the folder holding Kobuldo/.
    const DataPaths paths = resolveDataPaths(currentDataEnvironment());
    if (!paths.found) {
        std::cout << missingDataMessage(paths) << std::endl;
        pauseAndExit(1);
    }
    if (::chdir(paths.dataDir.c_str()) != 0) {
        std::cout << "Cannot enter the game data folder " << paths.dataDir << ": " << std::strerror(errno)
                  << std::endl;
        pauseAndExit(1);
    }
    setDataPaths(paths);
    // The player's settings before the window: its size and mode are kept
    // there. A size on the command line holds for this run only.
    Settings settings = loadPlayerSettings(std::cout);
    PlayerOptions options;
    options.load(settings, std::cout);
    playerSettings = &settings;
    playerOptions = &options;
    const bool sizeGiven = argc >= 3;
    screenWidth = sizeGiven ? args.width : options.windowWidth;
    screenHeight = sizeGiven ? args.height : options.windowHeight;

    // Opening the window and its GL context takes a good part of a second on
    // a software renderer, most of it on one core: the pictures set-up reads
    // are decoded meanwhile on another.
    auto prefetch = std::make_unique<PicturePrefetch>(setupPictures(), kPrefetchAheadBytes);
    usePicturePrefetch(prefetch.get());
    // Any set-up failure from here on (here, or a shader or buffer inside
    // set-up) stops and joins the worker before the process ends.
    setBeforeFatalExit([&prefetch] {
        usePicturePrefetch(nullptr);
        prefetch.reset();
    });

    // GLFW's own reason for a failure, before any of the game's lines about it.
    glfwSetErrorCallback(printGlfwError);
    if (!glfwInit()) {
        std::cout << "Failed to init glfw" << std::endl;
        pauseAndExit(-1);
    }
    setContextHints();
    // A kept size larger than the monitor is made to fit it.
    if (!sizeGiven && !settings.get("window_width", "").empty())
        fitToMonitor(screenWidth, screenHeight);

    // Larger sides crash the X image code inside window creation (32767 x
    // 32767, 2147483647 x 240) and exceed the texture size GL drivers give
    // the off-screen buffer; such a size is refused like any failed window.
    constexpr int kMaxWindowSide = 16384;
    GLFWwindow* window = nullptr;
    if (screenWidth > 0 && screenHeight > 0 && screenWidth <= kMaxWindowSide &&
        screenHeight <= kMaxWindowSide)
        window = glfwCreateWindow(screenWidth, screenHeight, "Zentaro", nullptr, nullptr);
    else
        std::cout << "Window size " << screenWidth << " x " << screenHeight << " is outside 1 to "
                  << kMaxWindowSide << std::endl;
    if (window == nullptr) {
        glfwTerminate();
        std::cout << "Failed to open window" << std::endl;
        pauseAndExit(-1);
    }
    glfwMakeContextCurrent(window);

    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cout << "Failed to initialize glew" << std::endl;
        pauseAndExit(-1);
    }
    // GLEW's start-up may leave a harmless GL_INVALID_ENUM behind on core
    // contexts; clear it so the first frame's error report is about the frame.
    while (glGetError() != GL_NO_ERROR) {
    }

    runFrames(window, prefetch, sizeGiven);
    playerSettings = nullptr;
    playerOptions = nullptr;
    pinLoadedLibraries();
    glfwTerminate();
    return 0;
}

} // namespace tovi
