#include "app/SceneSetup.h"

#include "app/FrameComposition.h"
#include "app/GameSound.h"
#include "app/GlLevelFactory.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "core/controls/Controls.h"
#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/frame/FrameUpdate.h"
#include "core/frame/Rotationposition.h"
#include "core/input/ModalStack.h"
#include "core/player/PlayerOptions.h"
#include "core/player/Progress.h"
#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "core/system/DataPaths.h"
#include "core/view/Camera.h"
#include "core/view/ScreenLayout.h"
#include "core/view/ViewFrustum.h"
#include "physics/PhysicsWorld.h"
#include "render/GL.h"
#include "render/OffscreenBuffer.h"
#include "render/ScreenPictures.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SkyBox.h"
#include "render/TextRenderer.h"
#include "scene/AssetStore.h"
#include "scene/FallMarker.h"
#include "scene/GhostBall.h"
#include "scene/Light.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"
#include "scene/PellixHead.h"
#include "scene/PieceBatches.h"
#include "scene/Ring.h"
#include "scene/Track.h"

#include <GLFW/glfw3.h>

#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tovi {

namespace {

template <typename T, typename... Args> T* make(std::unique_ptr<T>& owner, Args&&... args) {
    owner = std::make_unique<T>(std::forward<Args>(args)...);
    return owner.get();
}

// Everything scene setup creates. Members are released in reverse order of
// declaration, so they are declared in reverse teardown order: the shaders
// of the scene go first, the window's input last. The asset store hands out
// the meshes, pictures and collision meshes the objects share; each goes
// with the last object using it.
struct GameScene {
    // The game's settings (the player's, when the game made them before the
    // window) and the modals that take the window's input while open.
    std::unique_ptr<Settings> ownSettings;
    Settings* settings = nullptr;
    ModalStack modals;
    std::unique_ptr<Progress> progress;
    std::unique_ptr<CourseList> courses;
    std::unique_ptr<GlfwInput> window;
    std::unique_ptr<ModalGate> input;
    scene::AssetStore assets;
    std::unique_ptr<GameSound> sound;
    // Owns the level's pieces and rings.
    std::unique_ptr<GlLevelFactory> levelFactory;
    std::unique_ptr<Rotationposition> rotationposition;
    std::unique_ptr<ViewFrustum> frustum;
    std::unique_ptr<OffscreenBuffer> offscreenBuffer;
    std::unique_ptr<ShaderProgram> gaussShader;
    std::unique_ptr<ShaderProgram> textureShader;
    std::unique_ptr<scene::Light> light;
    std::unique_ptr<scene::FallMarker> fallMarker;
    std::unique_ptr<scene::ParticleRenderer> particleRenderer;
    std::unique_ptr<ShaderProgram> skyBoxShader;
    std::unique_ptr<SkyBox> skyBox;
    std::unique_ptr<MyCollision> myCollision;
    std::unique_ptr<TextRenderer> textRenderer;
    std::unique_ptr<PhysicsWorld> physicsWorld;
    std::unique_ptr<Controls> controls;
    ScreenPictures* pictures = nullptr; // owned by the race
    std::unique_ptr<scene::Pellix> ball;
    std::unique_ptr<scene::GhostBall> ghostBall; // draws with the ball's mesh
    std::unique_ptr<ShadowMap> shadowMap;
    std::unique_ptr<ShaderProgram> lampertPhongShader;
    std::unique_ptr<ShaderProgram> normalmapShader;
    std::unique_ptr<ShaderProgram> colorShader;
    std::unique_ptr<ShaderProgram> defaultShader;
    std::unique_ptr<scene::PieceBatches> pieceBatches;

    // The shadow pass's casters: the pieces and the ball, refilled each
    // frame into the same storage.
    std::vector<scene::SceneObject*> shadowCasters;
    // The small print of the HUD, refilled each frame.
    std::vector<std::string> statusLines;
    std::vector<std::string> modalLines;
};

// The scene lives in a holder that exit() leaves alone: a set-up that fails
// (a shader that does not compile) ends the process from inside setupScene,
// and the scene's GL objects, sounds and physics bodies must not be released
// then, after the window and the statics they use are gone. teardownScene
// releases it on a normal end.
std::unique_ptr<GameScene>& theScene = *new std::unique_ptr<GameScene>();

// The first frame: the start screen, drawn as the frame composition draws it.
void presentStartScreen(GLFWwindow* window, RacePictures& pictures, const GameScene& s, double bestTime,
                        const MedalScreen& medals) {
    FrameInputs frame;
    frame.text = s.textRenderer.get();
    frame.courses = s.courses.get();
    frame.bestTime = bestTime;
    frame.medals = &medals;
    frame.width = screenWidth;
    frame.height = screenHeight;
    drawStartScreen(pictures, frame);
    glfwSwapBuffers(window);
}

} // namespace

std::vector<std::string> setupPictures() {
    std::vector<std::string> paths = {
        ScreenPictures::kStartPicture, TextRenderer::kFontPicture,         scene::Pellix::kDiffusePicture,
        scene::Pellix::kNormalPicture, scene::PellixHead::kDiffusePicture, scene::PellixHead::kNormalPicture,
        scene::Track::kDiffusePicture, scene::Track::kNormalPicture,       scene::Ring::kPicture};
    paths.insert(paths.end(), std::begin(SkyBox::kFaces), std::end(SkyBox::kFaces));
    paths.push_back(scene::ParticleRenderer::kPicture);
    paths.push_back(scene::Light::kPicture);
    return paths;
}

void setupScene(GLFWwindow* window) {
    glfwSetWindowTitle(window, "Zentaro");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);

    theScene = std::make_unique<GameScene>();
    GameScene& s = *theScene;

    // The start screen comes first and is shown at once; the race's objects
    // follow while it stands. The course chosen last time, when it is still
    // there; else the first. A course is read from the player's saved copy
    // when there is one.
    s.settings = playerSettings != nullptr ? playerSettings : make(s.ownSettings, settingsPath());
    modalStack = &s.modals;
    make(s.progress, progressPath(), std::cout);
    // The player's own courses are the other courses in the player's Tracks/.
    const std::string ownFolder = dataPaths().playerDir.empty() ? "" : dataPaths().playerDir + "Tracks/";
    auto playerPaths = [](const std::string& file) {
        return CoursePaths{playerFileReadPath(dataPaths(), "Tracks/" + file),
                           playerFileSavePath(dataPaths(), "Tracks/" + file)};
    };
    make(s.courses, "Kobuldo/Tracks/", std::cout, playerPaths, ownFolder);
    s.courses->choose(s.settings->get("course", ""));
    const CoursePaths start = s.courses->startPaths();
    CourseData startCourse;
    const bool startRead = readCourseFile(start.read, startCourse, std::cout);
    auto pictures = std::make_unique<ScreenPictures>(screenWidth, screenHeight);
    textRenderer = make(s.textRenderer);
    textRenderer->setScreenSize(screenWidth, screenHeight);
    {
        // The chosen course's medals as set-up read it; the controls keep them
        // from here on.
        CourseMedals early(s.progress.get());
        early.courseLoaded(std::filesystem::path(start.save).filename().string(), startCourse.authorTime, 0);
        std::vector<std::string> listed;
        for (const CourseListEntry& course : s.courses->courses())
            listed.push_back(course.file);
        presentStartScreen(window, *pictures, s, CourseKeeper::loadedBestTime(startRead, startCourse),
                           early.screen(0, listed));
    }

    offscreenBuffer = make(s.offscreenBuffer, screenWidth, screenHeight);

    textureShader = make(s.textureShader, "Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag");
    gaussShader = make(s.gaussShader, "Kobuldo/Shader/texture.vert", "Kobuldo/Shader/gauss.frag");
    colorShader = make(s.colorShader, "Kobuldo/Shader/color.vert", "Kobuldo/Shader/color.frag");
    defaultShader = make(s.defaultShader, "Kobuldo/Shader/default.vert", "Kobuldo/Shader/default.frag");
    normalmapShader =
        make(s.normalmapShader, "Kobuldo/Shader/normalmap.vert", "Kobuldo/Shader/normalmap.frag");
    lampertPhongShader =
        make(s.lampertPhongShader, "Kobuldo/Shader/lampertPhong.vert", "Kobuldo/Shader/lampertPhong.frag");
    skyBoxShader = make(s.skyBoxShader, "Kobuldo/Shader/SkyBox.vert", "Kobuldo/Shader/SkyBox.frag");
    pieceBatches = make(s.pieceBatches);

    physicsWorld = make(s.physicsWorld);
    physicsWorld->createGround();
    physicsWorld->createBall();

    ball = make(s.ball, glm::mat4(1.0f), lampertPhongShader, s.assets);
    make(s.ghostBall, *ball);
    s.pictures = pictures.get();
    myCollision =
        make(s.myCollision, rings, ball, physicsWorld, screenWidth, screenHeight, std::move(pictures));
    shadowMap = make(s.shadowMap);

    make(s.window, window);
    make(s.input, *s.window, s.modals);
    make(s.levelFactory, normalmapShader, defaultShader, physicsWorld, s.assets);
    ControlsContext context;
    context.input = s.input.get();
    context.modals = &s.modals;
    context.factory = s.levelFactory.get();
    context.tracks = &tracks;
    context.rings = &rings;
    context.physicsWorld = physicsWorld;
    context.myCollision = myCollision;
    context.screenWidth = screenWidth;
    context.screenHeight = screenHeight;
    make(s.sound, *s.input, *s.settings, std::cout);
    context.courses = s.courses.get();
    context.settings = s.settings;
    context.keys = playerOptions != nullptr ? &playerOptions->keys : nullptr;
    context.progress = s.progress.get();
    context.trackPath = start.save;
    context.trackReadPath = start.read;
    context.startCourse = &startCourse;
    context.startCourseRead = startRead;
    controls = make(s.controls, context);
    if (playerOptions != nullptr)
        applyControlOptions(*playerOptions);
    controls->offerRecovery();
    // The textures take the filters the controls start with.
    s.levelFactory->applyMagnificationFilter(controls->display.nearestMagnification);
    s.levelFactory->applyMinificationFilter(controls->display.nearestMinification);

    skyBox = make(s.skyBox);
    particleRenderer = make(s.particleRenderer, glm::mat4(1.0f));
    light = make(s.light, glm::mat4(1.0f), defaultShader, s.assets);
    make(s.fallMarker);
    rotationposition = make(s.rotationposition, 0.0f, 0.0f, 0.0f, 4.0f);
    frustum = make(s.frustum);
    frustum->setCamInternals(kCameraHalfAngle, viewAspect(screenWidth, screenHeight), kCameraNear,
                             kCameraFar);
}

void resizeScene(int framebufferWidth, int framebufferHeight, int windowWidth, int windowHeight) {
    screenWidth = framebufferWidth;
    screenHeight = framebufferHeight;
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    if (theScene == nullptr)
        return;
    GameScene& s = *theScene;
    s.offscreenBuffer->resize(framebufferWidth, framebufferHeight);
    s.pictures->setScreenSize(framebufferWidth, framebufferHeight);
    s.textRenderer->setScreenSize(framebufferWidth, framebufferHeight);
    const float aspect = viewAspect(framebufferWidth, framebufferHeight);
    s.frustum->setCamInternals(kCameraHalfAngle, aspect, kCameraNear, kCameraFar);
    // The controls build the projection each frame, but not while paused.
    s.controls->camera.aspect = aspect;
    s.controls->camera.projection = cameraProjection(aspect);
    s.controls->camera.screenWidth = windowWidth;
    s.controls->camera.screenHeight = windowHeight;
}

void teardownScene() {
    theScene.reset();
    modalStack = nullptr;
    tracks.clear();
    rings.clear();
    offscreenBuffer = nullptr;
    textureShader = gaussShader = colorShader = defaultShader = normalmapShader = lampertPhongShader =
        skyBoxShader = nullptr;
    physicsWorld = nullptr;
    ball = nullptr;
    myCollision = nullptr;
    shadowMap = nullptr;
    controls = nullptr;
    textRenderer = nullptr;
    skyBox = nullptr;
    particleRenderer = nullptr;
    light = nullptr;
    pieceBatches = nullptr;
    rotationposition = nullptr;
    frustum = nullptr;
}

void updateFrame() {
    FrameParts parts{*controls,         *ball,
                     *physicsWorld,     *myCollision,
                     *rotationposition, particleRenderer->particles,
                     *frustum,          projectionMatrix,
                     viewMatrix};
    frameUpdate(parts, deltaTime);
    if (theScene != nullptr && theScene->sound != nullptr)
        theScene->sound->update(*myCollision, *physicsWorld, viewMatrix, deltaTime, myCollision->paused());
}

void sceneHidden(bool hidden) {
    if (hidden && controls != nullptr)
        controls->windowHidden();
    if (theScene != nullptr && theScene->sound != nullptr)
        theScene->sound->standSilent(hidden);
}

void sceneSound(int& volume, bool& muted) {
    if (theScene == nullptr || theScene->sound == nullptr)
        return;
    volume = theScene->sound->volume();
    muted = theScene->sound->muted();
}

void setSceneSound(int volume, bool muted) {
    if (theScene != nullptr && theScene->sound != nullptr)
        theScene->sound->setSound(volume, muted);
}

void applyControlOptions(const PlayerOptions& options) {
    if (controls == nullptr)
        return;
    controls->camera.mouseSpeed = options.mouseTurn();
    controls->camera.invertY = options.invertY;
    controls->race.setPadDeadZone(options.stickDeadZone());
}

void drawFrame() {
    FrameInputs frame;
    frame.race = myCollision;
    frame.pieces = &tracks;
    frame.rings = &rings;
    if (theScene != nullptr) {
        std::vector<scene::SceneObject*>& casters = theScene->shadowCasters;
        casters.assign(tracks.begin(), tracks.end());
        if (ball != nullptr)
            casters.push_back(ball);
        frame.shadowCasters = &casters;
        // The ghost follows the best run in race time; it is not a caster.
        glm::mat4 ghostMatrix(1.0f);
        if (myCollision != nullptr && myCollision->state == MyCollision::Racing &&
            myCollision->ghost.ghostMatrix(myCollision->elapsed(), ghostMatrix)) {
            theScene->ghostBall->modelMatrix = ghostMatrix;
            frame.ghost = theScene->ghostBall.get();
        }
    }
    frame.ball = ball;
    // The shadow box follows the ball, or the editor's camera where it flies.
    if (shadowMap != nullptr && ball != nullptr)
        shadowMap->focus = controls != nullptr && controls->editing.editMode
                               ? controls->camera.target
                               : glm::vec3(ball->modelMatrix[3]);
    frame.lamp = light;
    frame.batches = pieceBatches;
    frame.particles = particleRenderer;
    frame.shadowMap = shadowMap;
    frame.offscreen = offscreenBuffer;
    frame.text = textRenderer;
    frame.sky = skyBox;
    frame.skyShader = skyBoxShader;
    frame.ballShader = lampertPhongShader;
    frame.ringShader = defaultShader;
    frame.pieceShader = normalmapShader;
    frame.blurShader = gaussShader;
    frame.composeShader = textureShader;
    frame.projection = projectionMatrix;
    frame.view = viewMatrix;
    frame.frustum = frustum;
    if (rotationposition != nullptr)
        frame.lampOffset = glm::vec2(rotationposition->offsetX, rotationposition->offsetZ);
    frame.width = screenWidth;
    frame.height = screenHeight;
    if (controls != nullptr)
        takeControls(*controls, frame);
    if (theScene != nullptr) {
        if (controls != nullptr) {
            controls->statusLines(theScene->statusLines);
            frame.statusLines = &theScene->statusLines;
            controls->modalLines(theScene->modalLines);
            frame.modalLines = &theScene->modalLines;
        }
        frame.courses = theScene->courses.get();
        frame.fallMarker = theScene->fallMarker.get();
    }
    frame.deltaTime = deltaTime;
    frame.culledCount = culledCount;
    culledCount = drawFrame(frame);
}

} // namespace tovi
