#include "app/Globals.h"

namespace tovi {

int screenWidth = 1000;
int screenHeight = 780;
double deltaTime = 0.0;

glm::mat4 projectionMatrix(1.0f);
glm::mat4 viewMatrix(1.0f);

std::vector<scene::SceneObject*> tracks;
std::vector<scene::SceneObject*> rings;

OffscreenBuffer* offscreenBuffer = nullptr;
ShaderProgram* textureShader = nullptr;
ShaderProgram* gaussShader = nullptr;
ShaderProgram* colorShader = nullptr;
ShaderProgram* defaultShader = nullptr;
ShaderProgram* normalmapShader = nullptr;
ShaderProgram* lampertPhongShader = nullptr;
ShaderProgram* skyBoxShader = nullptr;
PhysicsWorld* physicsWorld = nullptr;
scene::Pellix* ball = nullptr;
MyCollision* myCollision = nullptr;
ShadowMap* shadowMap = nullptr;
Controls* controls = nullptr;
TextRenderer* textRenderer = nullptr;
SkyBox* skyBox = nullptr;
scene::ParticleRenderer* particleRenderer = nullptr;
scene::Light* light = nullptr;
scene::PieceBatches* pieceBatches = nullptr;
Rotationposition* rotationposition = nullptr;

Settings* playerSettings = nullptr;
PlayerOptions* playerOptions = nullptr;
ModalStack* modalStack = nullptr;

int culledCount = 0;

} // namespace tovi

ViewFrustum* frustum = nullptr;
