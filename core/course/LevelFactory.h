#pragma once
#include <glm/glm.hpp>

#include <string>

namespace tovi {
namespace scene {
class SceneObject;
}

// Builds what the course file and the editor place, and reaches the GL side
// for the texture filter keys. The game's implementation makes real pieces
// and rings; tests make stand-ins. The factory owns what it makes until
// destroy() or its own end; the level lists only point at them.
class LevelFactory {
  public:
    virtual ~LevelFactory() = default;
    // A piece from the mesh path (e.g. "Kobuldo/Objects/V2/ramp"); it adds its
    // collision body to the physics world. Returns a scene::TrackBase.
    virtual scene::SceneObject* makePiece(const std::string& meshPath, const glm::mat4& model) = 0;
    virtual scene::SceneObject* makeRing(const glm::mat4& model) = 0;
    // Releases a piece or ring it made (a piece's collision body stays with
    // the physics world); anything else is left alone.
    virtual void destroy(scene::SceneObject* object) = 0;
    // F4 (magnification) and F5 (minification) on every registered texture.
    virtual void applyMagnificationFilter(bool nearest) = 0;
    virtual void applyMinificationFilter(bool nearest) = 0;
};

} // namespace tovi
