#pragma once
#include "core/mesh/SceneObject.h"
#include "render/Texture.h"
#include "scene/MeshBuffers.h"

#include <memory>
#include <string>

namespace tovi {
class ShaderProgram;
class PhysicsWorld;
} // namespace tovi

namespace tovi::scene {
class AssetStore;

// A placed track piece: the normal-mapped wooden mesh from meshPath + ".obj"
// and a kinematic collision body from meshPath + ".stl", both shared with the
// other pieces of its kind through the store, as are the wood pictures.
// Missing files leave the mesh empty (it draws nothing); the piece still gets
// its body.
class Track : public TrackBase {
  public:
    Track(const glm::mat4& model, tovi::ShaderProgram* program, tovi::PhysicsWorld* physicsWorld,
          std::string meshPath, AssetStore& assets);
    ~Track() override = default;
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;

    static constexpr const char* kDiffusePicture = "Kobuldo/Textures/wood.png";
    static constexpr const char* kNormalPicture = "Kobuldo/Textures/wood-normal.png";

    // Uses the program and sets its samplers, "lightPosWorld" (6 above the
    // piece, moved by the light offsets) and "M"; the frame sets "P" and "V".
    void draw() override;
    void drawShadow() override;

    tovi::ShaderProgram* program = nullptr;
    tovi::PhysicsWorld* physicsWorld = nullptr;
    std::shared_ptr<const Texture> diffuseTexture;
    std::shared_ptr<const Texture> normalTexture;
    std::shared_ptr<const MeshBuffers> mesh;
};

} // namespace tovi::scene
