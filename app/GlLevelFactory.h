#pragma once
#include "core/Controls.h"

#include <memory>
#include <vector>

namespace tovi {
class ShaderProgram;
namespace scene {
class AssetStore;
}

// Builds real pieces and rings for the course file and the editor from the
// scene's shared assets, owns them, and sets the filters of every live
// texture for F4 and F5.
class GlLevelFactory : public LevelFactory {
  public:
    GlLevelFactory(ShaderProgram* trackShader, ShaderProgram* ringShader, PhysicsWorld* physicsWorld,
                   scene::AssetStore& assets)
        : trackShader(trackShader), ringShader(ringShader), physicsWorld(physicsWorld), assets(assets) {}
    scene::SceneObject* makePiece(const std::string& meshPath, const glm::mat4& model) override;
    scene::SceneObject* makeRing(const glm::mat4& model) override;
    void destroy(scene::SceneObject* object) override;
    void applyMagnificationFilter(bool nearest) override;
    void applyMinificationFilter(bool nearest) override;

    ShaderProgram* trackShader;
    ShaderProgram* ringShader;
    PhysicsWorld* physicsWorld;
    scene::AssetStore& assets;

  private:
    // Every piece and ring of the level, released with the factory.
    std::vector<std::unique_ptr<scene::SceneObject>> objects;
};

} // namespace tovi
