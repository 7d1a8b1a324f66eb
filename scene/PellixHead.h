#pragma once
#include "core/mesh/SceneObject.h"
#include "render/Texture.h"
#include "scene/MeshBuffers.h"

#include <memory>

namespace tovi {
class ShaderProgram;
}

namespace tovi::scene {
class AssetStore;

// The decorative head riding on the ball. The ball owns it, writes its
// modelMatrix every update and draws it right after itself.
class PellixHead : public SceneObject {
  public:
    PellixHead(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets);
    ~PellixHead() override = default;
    PellixHead(const PellixHead&) = delete;
    PellixHead& operator=(const PellixHead&) = delete;

    static constexpr const char* kDiffusePicture = "Kobuldo/Textures/pellixTex2.jpg";
    static constexpr const char* kNormalPicture = "Kobuldo/Textures/pellixTex2-normal.jpg";

    void update(float) override {}
    // Lit from 6 above its own position.
    void draw() override;
    void drawShadow() override;

    tovi::ShaderProgram* program = nullptr;
    std::shared_ptr<const Texture> diffuseTexture;
    std::shared_ptr<const Texture> normalTexture;
    std::shared_ptr<const MeshBuffers> mesh;
};

} // namespace tovi::scene
