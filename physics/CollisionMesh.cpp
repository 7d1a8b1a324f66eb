#include "physics/CollisionMesh.h"

#include <cmath>

namespace tovi {

namespace {

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

btVector3 toBt(const glm::vec3& v) {
    return btVector3(v.x, v.y, v.z);
}

} // namespace

CollisionMesh::CollisionMesh(const std::vector<glm::vec3>& corners)
    : triangles(std::make_unique<btTriangleMesh>(true, false)) {
    for (std::size_t i = 0; i + 2 < corners.size(); i += 3) {
        const glm::vec3& a = corners[i];
        const glm::vec3& b = corners[i + 1];
        const glm::vec3& c = corners[i + 2];
        if (!isFinite(a) || !isFinite(b) || !isFinite(c))
            continue;
        triangles->addTriangle(toBt(a), toBt(b), toBt(c), false);
    }
    if (triangles->getNumTriangles() > 0)
        tree = std::make_unique<btBvhTriangleMeshShape>(triangles.get(), true, true);
}

// The tree refers to the triangles: it goes first.
CollisionMesh::~CollisionMesh() {
    tree.reset();
    triangles.reset();
}

int CollisionMesh::triangleCount() const {
    return triangles->getNumTriangles();
}

btVector3 CollisionMesh::corner(int t, int i) const {
    const unsigned char* vertices = nullptr;
    int vertexCount = 0;
    PHY_ScalarType vertexType = PHY_FLOAT;
    int vertexStride = 0;
    const unsigned char* indices = nullptr;
    int indexStride = 0;
    int faceCount = 0;
    PHY_ScalarType indexType = PHY_INTEGER;
    triangles->getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, vertexType, vertexStride, &indices,
                                                indexStride, faceCount, indexType);
    // Built with 32-bit indices and three-component vertices of btScalar.
    const auto* face =
        reinterpret_cast<const unsigned int*>(indices + static_cast<std::size_t>(t) * indexStride);
    const auto* v =
        reinterpret_cast<const btScalar*>(vertices + static_cast<std::size_t>(face[i]) * vertexStride);
    triangles->unLockReadOnlyVertexBase(0);
    return btVector3(v[0], v[1], v[2]);
}

} // namespace tovi
