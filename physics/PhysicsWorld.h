#pragma once
#include <glm/glm.hpp>

#include <btBulletDynamicsCommon.h>

#include <vector>

namespace tovi {

// Model matrix <-> rigid transform. The upper 3x3 is copied unchanged (a scale
// in the matrix reaches the body's basis); the fourth row is ignored.
glm::mat4 toModelMatrix(const btTransform& t);
btTransform fromModelMatrix(const glm::mat4& m);

// Owner of the whole rigid-body simulation: world, ground plane, ball and one
// kinematic triangle-mesh body per track piece. The rest of the game sees
// transforms only as model matrices and track bodies only by index.
class PhysicsWorld {
  public:
    static constexpr float kFixedSubStep = 1.0f / 60.0f;
    static constexpr int kMaxSubSteps = 10;

    PhysicsWorld();
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    void createGround();
    void createBall();

    // One kinematic body from the collision triangles (three positions per
    // triangle, leftovers ignored), placed by the model matrix. A list without
    // a whole triangle still gets its own body index. Returns the index.
    int addTrackBody(std::vector<glm::vec3> collision, glm::mat4 model);

    glm::mat4 getBallModelMatrix() const;
    // Fresh race ball at (-0.88, 65.8, 21.2) moving at (-1, 0, 0).
    void resetBall();
    glm::mat4 getBodyMatrix(int index) const;
    void setBodyTransform(int index, glm::mat4 model);
    void removeTrackBodies();
    // Takes one track body out of the world; the bodies after it move down
    // one index, as their pieces do in the piece list. A bad index does nothing.
    void removeTrackBody(int index);
    // Moves the body at index from to index to, shifting the ones between,
    // like moving one piece within the piece list. Bad indices do nothing.
    void moveTrackBody(int from, int to);

    // Advances by whole 1/60 s sub-steps (at most 10); returns the count.
    int step(float timeStep);

    btDbvtBroadphase* broadphase = nullptr;
    btDefaultCollisionConfiguration* collisionConfiguration = nullptr;
    btCollisionDispatcher* dispatcher = nullptr;
    btSequentialImpulseConstraintSolver* solver = nullptr;
    btDiscreteDynamicsWorld* dynamicsWorld = nullptr;
    btStaticPlaneShape* groundShape = nullptr;
    btSphereShape* ballShape = nullptr;
    btRigidBody* groundBody = nullptr;
    btRigidBody* ballBody = nullptr;
    std::vector<btRigidBody*> trackBodies;

  private:
    void destroyBody(btRigidBody* body);
    // A fresh ball body (replacing the sphere) at the position, moving at (-1, 0, 0).
    void makeBall(const btVector3& position, float friction, float restitution);
    std::vector<btTriangleMesh*> trackMeshes;   // parallel to trackBodies
    std::vector<btCollisionShape*> trackShapes; // parallel to trackBodies
};

} // namespace tovi
