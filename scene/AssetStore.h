#pragma once
#include "physics/CollisionMesh.h"
#include "render/GL.h"
#include "render/Texture.h"
#include "scene/MeshBuffers.h"

#include <map>
#include <memory>
#include <string>

namespace tovi::scene {

// One copy of each asset, shared by every object that uses it: one GL
// texture per picture file, one GL mesh per mesh file (and drawing program,
// whose attribute locations its vertex array records), one collision mesh per
// STL file. Asking again for a file while any handle to it is alive gives the
// same asset; an asset goes with its last handle (GL ones while the context is
// current). The store itself keeps nothing alive, and no CPU copy of a drawn
// mesh or a picture's pixels stays behind after upload.
class AssetStore {
  public:
    AssetStore() = default;
    AssetStore(const AssetStore&) = delete;
    AssetStore& operator=(const AssetStore&) = delete;

    // A mipmapped picture texture (see Texture); a missing file gives an
    // empty one.
    std::shared_ptr<const Texture> texture(const std::string& path);
    // The mesh with tangent frames (merging indexer), for the normal-mapped
    // objects; its attributes bound for `program`.
    std::shared_ptr<const MeshBuffers> normalMappedMesh(const std::string& objPath, GLuint program);
    // The mesh with one vertex per corner, for rings and the lamp.
    std::shared_ptr<const MeshBuffers> plainMesh(const std::string& objPath, GLuint program);
    // The triangles of an ASCII STL file (none if it cannot be read).
    std::shared_ptr<CollisionMesh> collisionMesh(const std::string& stlPath);

    // Assets alive right now, of every kind.
    std::size_t liveCount() const;

  private:
    template <typename T> using Cache = std::map<std::string, std::weak_ptr<T>>;
    template <typename T, typename Make>
    std::shared_ptr<T> find(Cache<T>& cache, const std::string& key, Make make);

    Cache<const Texture> textures;
    Cache<const MeshBuffers> meshes;
    Cache<CollisionMesh> collisionMeshes;
};

} // namespace tovi::scene
