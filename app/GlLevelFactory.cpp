#include "app/GlLevelFactory.h"

#include "render/Texture.h"
#include "scene/AssetStore.h"
#include "scene/Ring.h"
#include "scene/Track.h"

#include <algorithm>

namespace tovi {

scene::SceneObject* GlLevelFactory::makePiece(const std::string& meshPath, const glm::mat4& model) {
    auto piece = std::make_unique<scene::Track>(model, trackShader, physicsWorld, meshPath, assets);
    if (kinds.count(meshPath) == 0)
        kinds[meshPath] = {piece->mesh, piece->diffuseTexture, piece->normalTexture,
                           assets.collisionMesh(meshPath + ".stl")};
    objects.push_back(std::move(piece));
    return objects.back().get();
}

scene::SceneObject* GlLevelFactory::makeRing(const glm::mat4& model) {
    auto ring = std::make_unique<scene::Ring>(model, ringShader, assets);
    if (kinds.count("ring") == 0)
        kinds["ring"] = {ring->mesh, ring->texture};
    objects.push_back(std::move(ring));
    return objects.back().get();
}

void GlLevelFactory::destroy(scene::SceneObject* object) {
    auto found =
        std::find_if(objects.begin(), objects.end(),
                     [object](const std::unique_ptr<scene::SceneObject>& o) { return o.get() == object; });
    if (found != objects.end())
        objects.erase(found);
}

void GlLevelFactory::applyMagnificationFilter(bool nearest) {
    textureRegistry.setNearestMagnification(nearest);
}

void GlLevelFactory::applyMinificationFilter(bool nearest) {
    textureRegistry.setNearestMinification(nearest);
}

} // namespace tovi
