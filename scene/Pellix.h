#pragma once
#include "core/mesh/SceneObject.h"
#include "core/view/HeadPlacement.h"
#include "render/Texture.h"
#include "scene/MeshBuffers.h"
#include "scene/PellixHead.h"

#include <memory>

namespace tovi {
class ShaderProgram;
}

namespace tovi::scene {
class AssetStore;

// The player's ball as drawn: a normal-mapped sphere wherever the ball's body
// is (the frame update copies the body's matrix into modelMatrix), with the
// head it owns riding on top.
class Pellix : public SceneObject {
  public:
    Pellix(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets);
    ~Pellix() override = default;
    Pellix(const Pellix&) = delete;
    Pellix& operator=(const Pellix&) = delete;

    static constexpr const char* kDiffusePicture = "Kobuldo/Textures/pellixTex.jpg";
    static constexpr const char* kNormalPicture = "Kobuldo/Textures/pellixTex-normal.jpg";

    // Places the head from the ball's position; the time step is not used.
    void update(float timeStep) override;
    // Draws the ball lit from 6 above it, then the head.
    void draw() override;
    // The ball mesh only; the head casts no shadow.
    void drawShadow() override;

    tovi::ShaderProgram* program = nullptr;
    std::shared_ptr<const Texture> diffuseTexture;
    std::shared_ptr<const Texture> normalTexture;
    std::shared_ptr<const MeshBuffers> mesh;
    HeadPlacement headPlacement;
    std::unique_ptr<PellixHead> head;
};

} // namespace tovi::scene
