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

// The lamp drawn above every visible track piece. Where it appears is up to
// the caller, which sets "view_proj" and "model" in the default program
// before each draw; modelMatrix is not used for drawing.
class Light : public SceneObject {
  public:
    Light(const glm::mat4& model, tovi::ShaderProgram* program, AssetStore& assets);
    ~Light() override = default;
    Light(const Light&) = delete;
    Light& operator=(const Light&) = delete;

    static constexpr const char* kPicture = "Kobuldo/Textures/light.jpg";
    static constexpr const char* kMesh = "Kobuldo/Objects/V2/light.obj";
    // The same lamp with a sixth of the triangles, for lamps a few pixels
    // tall; the full one when that file cannot be used.
    static constexpr const char* kFarMesh = "Kobuldo/Objects/V2/light-far.obj";

    void update(float) override {}
    // Sets "color_texture" only, binds the lamp texture and draws the mesh.
    void draw() override;
    // The lamp casts no shadow.
    void drawShadow() override {}

    tovi::ShaderProgram* program = nullptr;
    std::shared_ptr<const Texture> texture;
    std::shared_ptr<const MeshBuffers> mesh;
    std::shared_ptr<const MeshBuffers> farMesh;
};

} // namespace tovi::scene
