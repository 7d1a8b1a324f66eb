#pragma once
#include <glm/glm.hpp>

#include <btBulletDynamicsCommon.h>

#include <memory>
#include <vector>

namespace tovi {

// One collision mesh (the triangles of a piece's STL file) in the form Bullet
// tests against: the triangle list and its bounding volume tree. Built once
// per file and shared by every piece of that kind; each piece's body views it
// through its own scaling (see PhysicsWorld::addTrackBody).
class CollisionMesh {
  public:
    // Three positions per triangle. Leftover positions and triangles with a
    // non-finite corner (it would poison the tree) are dropped.
    explicit CollisionMesh(const std::vector<glm::vec3>& corners);
    ~CollisionMesh();
    CollisionMesh(const CollisionMesh&) = delete;
    CollisionMesh& operator=(const CollisionMesh&) = delete;

    int triangleCount() const;
    // The shared tree; null when no whole triangle was left.
    btBvhTriangleMeshShape* shape() const { return tree.get(); }
    // Corner i (0, 1, 2) of triangle t.
    btVector3 corner(int t, int i) const;

  private:
    std::unique_ptr<btTriangleMesh> triangles;
    std::unique_ptr<btBvhTriangleMeshShape> tree;
};

} // namespace tovi
