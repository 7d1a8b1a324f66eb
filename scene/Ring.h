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

// A course ring: "Kobuldo/Objects/V2/ring.obj" with "Kobuldo/Textures/ring.jpg",
// drawn with the default program. Passing is decided by distance to the
// position column of modelMatrix alone.
class Ring : public SceneObject {
  public:
    Ring(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets);
    ~Ring() override = default;
    Ring(const Ring&) = delete;
    Ring& operator=(const Ring&) = delete;

    static constexpr const char* kPicture = "Kobuldo/Textures/ring.jpg";

    // Turns the ring about its own vertical axis, 90 degrees per second.
    void update(float timeStep) override;
    // Sets "color_texture" and "model"; the frame sets "view_proj".
    void draw() override;
    void drawShadow() override;

    tovi::ShaderProgram* program = nullptr;
    std::shared_ptr<const Texture> texture;
    std::shared_ptr<const MeshBuffers> mesh;
};

} // namespace tovi::scene
