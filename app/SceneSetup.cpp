#include "app/SceneSetup.h"

#include "app/Controls.h"
#include "app/FrameUpdate.h"
#include "app/GlLevelFactory.h"
#include "app/GlfwInput.h"
#include "app/Globals.h"
#include "app/MyCollision.h"
#include "app/Rotationposition.h"
#include "app/ViewFrustum.h"
#include "physics/PhysicsWorld.h"
#include "render/GL.h"
#include "render/OffscreenBuffer.h"
#include "render/ScreenPictures.h"
#include "render/ShaderProgram.h"
#include "render/ShadowMap.h"
#include "render/SkyBox.h"
#include "render/TextRenderer.h"
#include "scene/Light.h"
#include "scene/ParticleRenderer.h"
#include "scene/Pellix.h"
#include "scene/SceneObject.h"

#include <GLFW/glfw3.h>

#include <memory>

namespace tovi {

namespace {
std::unique_ptr<GlfwInput> input;
std::unique_ptr<GlLevelFactory> levelFactory;

template <typename T> void release(T*& object) {
    delete object;
    object = nullptr;
}
} // namespace

void setupScene(GLFWwindow* window) {
    glfwSetWindowTitle(window, "Zentaro");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);

    offscreenBuffer = new OffscreenBuffer(screenWidth, screenHeight);

    textureShader = new ShaderProgram("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/texture.frag");
    gaussShader = new ShaderProgram("Kobuldo/Shader/texture.vert", "Kobuldo/Shader/gauss.frag");
    colorShader = new ShaderProgram("Kobuldo/Shader/color.vert", "Kobuldo/Shader/color.frag");
    defaultShader = new ShaderProgram("Kobuldo/Shader/default.vert", "Kobuldo/Shader/default.frag");
    normalmapShader = new ShaderProgram("Kobuldo/Shader/normalmap.vert", "Kobuldo/Shader/normalmap.frag");
    lampertPhongShader =
        new ShaderProgram("Kobuldo/Shader/lampertPhong.vert", "Kobuldo/Shader/lampertPhong.frag");
    skyBoxShader = new ShaderProgram("Kobuldo/Shader/SkyBox.vert", "Kobuldo/Shader/SkyBox.frag");

    physicsWorld = new PhysicsWorld();
    physicsWorld->createGround();
    physicsWorld->createBall();

    ball = new scene::Pellix(glm::mat4(1.0f), lampertPhongShader);
    myCollision = new MyCollision(rings, ball, physicsWorld, screenWidth, screenHeight,
                                  std::make_unique<ScreenPictures>(screenWidth, screenHeight));
    shadowMap = new ShadowMap();

    input = std::make_unique<GlfwInput>(window);
    levelFactory = std::make_unique<GlLevelFactory>(normalmapShader, defaultShader, physicsWorld);
    ControlsContext context;
    context.input = input.get();
    context.factory = levelFactory.get();
    context.tracks = &tracks;
    context.rings = &rings;
    context.physicsWorld = physicsWorld;
    context.myCollision = myCollision;
    context.screenWidth = screenWidth;
    context.screenHeight = screenHeight;
    controls = new Controls(context);

    textRenderer = new TextRenderer();
    skyBox = new SkyBox();
    particleRenderer = new scene::ParticleRenderer(glm::mat4(1.0f), controls);
    light = new scene::Light(glm::mat4(1.0f), defaultShader);
    rotationposition = new Rotationposition(0.0f, 0.0f, 0.0f, 4.0f);
    frustum = new ViewFrustum();
    frustum->setCamInternals(0.39269909f, 1.3333334f, 0.1f, 100.0f);
}

void teardownScene() {
    release(defaultShader);
    release(colorShader);
    release(normalmapShader);
    release(lampertPhongShader);
    release(shadowMap);
    std::vector<scene::SceneObject*> pieces;
    pieces.swap(tracks);
    release(ball);
    release(controls);
    release(physicsWorld);
    release(textRenderer);
    release(myCollision);
    release(skyBox);
    release(skyBoxShader);
    release(particleRenderer);
    release(light);

    // What the game used to leave to the end of the process goes too, while
    // the context is still current, so a run ends clean.
    release(textureShader);
    release(gaussShader);
    release(offscreenBuffer);
    release(frustum);
    release(rotationposition);
    for (scene::SceneObject* piece : pieces)
        delete piece;
    for (scene::SceneObject* ring : rings)
        delete ring;
    rings.clear();
    levelFactory.reset();
    input.reset();
}

void updateFrame() {
    FrameParts parts{*controls,         *ball,
                     *physicsWorld,     *myCollision,
                     *rotationposition, particleRenderer->particles,
                     *frustum,          projectionMatrix,
                     viewMatrix};
    frameUpdate(parts, deltaTime);
}

} // namespace tovi
