#pragma once
#include "core/controls/Controls.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tovi {
class ShaderProgram;
namespace scene {
class AssetStore;
}

// Builds real pieces and rings for the course file and the editor from the
// scene's shared assets, owns them, and sets the filters of every live
// texture for F4 and F5. The assets of every kind it has made stay loaded
// while it lives, so switching courses or placing a kind again in the editor
// reads no file a second time.
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
    // Handles on the assets of each kind made so far, by mesh path.
    std::map<std::string, std::vector<std::shared_ptr<const void>>> kinds;
};

} // namespace tovi
