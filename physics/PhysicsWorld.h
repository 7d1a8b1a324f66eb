#pragma once
#include "physics/CollisionMesh.h"
#include "physics/RaceStart.h"

#include <glm/glm.hpp>

#include <btBulletDynamicsCommon.h>

#include <memory>
#include <vector>

namespace tovi {

// Model matrix <-> rigid transform. The upper 3x3 is copied unchanged; the
// fourth row is ignored. (Track bodies split a scale off first, see
// addTrackBody.)
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

    // One kinematic body for a piece, placed by the model matrix. The body
    // views the shared mesh through its own scaling, so a scaled piece
    // collides where it is drawn: a matrix made of a turn and a scale along
    // the piece's own axes (mirroring included) keeps the shared tree; one
    // whose axes are no longer at right angles (scaled along one axis, then
    // turned about another) or are squashed flat gets its own copy of the
    // triangles moved by the matrix. A null mesh or one without a whole
    // triangle still gets its own body index (a body that collides with
    // nothing). Returns the index.
    int addTrackBody(std::shared_ptr<CollisionMesh> mesh, glm::mat4 model);
    // The same from a triangle list of the piece's own (three positions per
    // triangle, leftovers ignored).
    int addTrackBody(const std::vector<glm::vec3>& collision, glm::mat4 model);

    glm::mat4 getBallModelMatrix() const;
    // Fresh race ball at the race start moving at (-1, 0, 0).
    void resetBall();
    // Fresh race ball at position moving at velocity (a practice run from a
    // piece); at the race start as resetBall when either is not finite.
    void resetBallAt(const glm::vec3& position, const glm::vec3& velocity);
    // Where resetBall puts the ball: kDefaultRaceStart unless a course names
    // its own start.
    glm::vec3 raceStart = kDefaultRaceStart;
    // The body's placement as a model matrix: pose and scaling together.
    glm::mat4 getBodyMatrix(int index) const;
    // Moves, turns and scales a track body the way addTrackBody places it.
    // A matrix with a non-finite entry is ignored.
    void setBodyTransform(int index, glm::mat4 model);
    void removeTrackBodies();
    // Takes one track body out of the world; the bodies after it move down
    // one index, as their pieces do in the piece list. A bad index does nothing.
    void removeTrackBody(int index);
    // Moves the body at index from to index to, shifting the ones between,
    // like moving one piece within the piece list. Bad indices do nothing.
    void moveTrackBody(int from, int to);

    // Where a ray from `from` to `to` first meets the track body at index, as
    // a fraction of the way (0 at from, 1 at to); false when it misses or the
    // index is bad. Looks at the body where it was last placed, also while
    // the world is not stepping.
    bool rayHitsTrack(int index, const glm::vec3& from, const glm::vec3& to, float& fraction) const;
    // The world bounds of the track body at index where it was last placed;
    // false for a bad index.
    bool trackBounds(int index, glm::vec3& lowest, glm::vec3& highest) const;

    // Advances by whole 1/60 s sub-steps (at most 10); returns the count.
    int step(float timeStep);
    // Whether the ball touched a piece or the ground in the last sub-step.
    bool ballTouches() const;

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
    // What a track body is made of besides the body itself.
    struct TrackShape {
        std::shared_ptr<CollisionMesh> mesh;     // shared by the pieces of a kind
        std::unique_ptr<btCollisionShape> shape; // this body's view of it
        std::unique_ptr<btTriangleMesh> moved;   // own triangles of a sheared placement
        btMatrix3x3 linear;                      // the part of the matrix the shape carries
    };
    void destroyBody(btRigidBody* body);
    // A fresh ball body (replacing the sphere) at the position, moving at (-1, 0, 0).
    void makeBall(const btVector3& position, float friction, float restitution);
    // Splits the matrix into the body's pose and the shape's part and
    // (re)builds the shape as needed; what it replaces goes to `retired`.
    // Returns the body's pose.
    btTransform shapeFor(TrackShape& parts, const glm::mat4& model, TrackShape& retired);
    std::vector<TrackShape> trackShapes; // parallel to trackBodies
};

} // namespace tovi
