#include "scene/AssetStore.h"

#include "core/mesh/SceneObject.h"

#include <vector>

namespace tovi::scene {

template <typename T, typename Make>
std::shared_ptr<T> AssetStore::find(Cache<T>& cache, const std::string& key, Make make) {
    auto found = cache.find(key);
    if (found != cache.end()) {
        if (std::shared_ptr<T> alive = found->second.lock())
            return alive;
    }
    // Entries of assets that have gone are dropped as new ones come, so the
    // list never grows past the files in use plus the one being added.
    for (auto it = cache.begin(); it != cache.end();)
        it = it->second.expired() ? cache.erase(it) : std::next(it);
    std::shared_ptr<T> made = make();
    cache[key] = made;
    return made;
}

std::shared_ptr<const Texture> AssetStore::texture(const std::string& path) {
    return find(textures, path, [&] { return std::make_shared<const Texture>(path); });
}

namespace {
std::shared_ptr<const MeshBuffers> upload(const MeshData& data, GLuint program, bool withTangents) {
    auto buffers = std::make_shared<MeshBuffers>();
    buffers->upload(data, program, withTangents);
    return buffers;
}

// One mesh per file and program: the vertex array records the program's
// attribute locations.
std::string meshKey(const char* kind, const std::string& path, GLuint program) {
    return std::string(kind) + ' ' + std::to_string(program) + ' ' + path;
}
} // namespace

std::shared_ptr<const MeshBuffers> AssetStore::normalMappedMesh(const std::string& objPath, GLuint program) {
    return find(meshes, meshKey("normal-mapped", objPath, program),
                [&] { return upload(loadNormalMappedMesh(objPath), program, true); });
}

std::shared_ptr<const MeshBuffers> AssetStore::plainMesh(const std::string& objPath, GLuint program) {
    return find(meshes, meshKey("plain", objPath, program),
                [&] { return upload(loadPlainMesh(objPath), program, false); });
}

std::shared_ptr<CollisionMesh> AssetStore::collisionMesh(const std::string& stlPath) {
    return find(collisionMeshes, stlPath, [&] {
        std::vector<glm::vec3> corners;
        SceneObject::loadStlVertices(stlPath, corners);
        return std::make_shared<CollisionMesh>(corners);
    });
}

namespace {
template <typename T> std::size_t countAlive(const std::map<std::string, std::weak_ptr<T>>& cache) {
    std::size_t count = 0;
    for (const auto& entry : cache)
        count += entry.second.expired() ? 0 : 1;
    return count;
}
} // namespace

std::size_t AssetStore::liveCount() const {
    return countAlive(textures) + countAlive(meshes) + countAlive(collisionMeshes);
}

} // namespace tovi::scene
