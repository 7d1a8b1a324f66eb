#pragma once
// The process-wide values and references of the game. Scene setup fills the
// references; they point into the scene object that scene setup creates
// and own nothing.
#include <glm/glm.hpp>

#include <vector>

class ViewFrustum;

namespace tovi {
class ShaderProgram;
class PhysicsWorld;
class ModalStack;
class Settings;
struct PlayerOptions;
class MyCollision;
class Controls;
class ShadowMap;
class SkyBox;
class TextRenderer;
class OffscreenBuffer;
struct Rotationposition;
namespace scene {
class SceneObject;
class Pellix;
class ParticleRenderer;
class Light;
class PieceBatches;
} // namespace scene

// The framebuffer's size in pixels now (the window size asked for until the
// window opens; default 1000 x 780). Changed only by resizeScene.
extern int screenWidth;
extern int screenHeight;
extern double deltaTime; // seconds between the starts of the last two frames

extern glm::mat4 projectionMatrix;
extern glm::mat4 viewMatrix;

// The level: placed track pieces and rings, in course-file order.
extern std::vector<scene::SceneObject*> tracks;
extern std::vector<scene::SceneObject*> rings;

extern OffscreenBuffer* offscreenBuffer;
extern ShaderProgram* textureShader;
extern ShaderProgram* gaussShader;
extern ShaderProgram* colorShader;
extern ShaderProgram* defaultShader;
extern ShaderProgram* normalmapShader;
extern ShaderProgram* lampertPhongShader;
extern ShaderProgram* skyBoxShader;
extern PhysicsWorld* physicsWorld;
extern scene::Pellix* ball;
extern MyCollision* myCollision;
extern ShadowMap* shadowMap;
extern Controls* controls;
extern TextRenderer* textRenderer;
extern SkyBox* skyBox;
extern scene::ParticleRenderer* particleRenderer;
extern scene::Light* light;
extern scene::PieceBatches* pieceBatches;
extern Rotationposition* rotationposition;

// The player's settings file and options: made before the window opens (its
// size and mode come from them); null until then, and scene setup makes its
// own settings.
extern Settings* playerSettings;
extern PlayerOptions* playerOptions;
// What takes all input while open (the options, questions), made by scene
// setup; the controls see the window through it.
extern ModalStack* modalStack;

// Rings and pieces not drawn in the last scene frame.
extern int culledCount;

} // namespace tovi

extern ViewFrustum* frustum;
