#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {

constexpr float kBallRadius = 0.25f;
constexpr float kBallMass = 1.0f;

bool isFinite(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            if (!std::isfinite(m[c][r])) {
                return false;
            }
        }
    }
    return true;
}

// A column this close to length 1 counts as unscaled and is kept as it is,
// so an unscaled placement reaches the body unchanged.
constexpr float kUnitLength = 1e-5f;
// Unit axes whose dot product stays within this are at right angles.
constexpr float kRightAngle = 1e-4f;
// A column shorter than this squashes the piece flat.
constexpr float kFlat = 1e-6f;

// A model matrix's 3 x 3 part as a turn followed by a scale along the
// piece's own axes, when it is one (`fits`).
struct TurnAndScale {
    btMatrix3x3 turn;
    btVector3 scale;
    bool fits = true;
};

TurnAndScale splitTurnAndScale(const glm::mat4& m) {
    TurnAndScale split;
    glm::vec3 axis[3];
    float length[3];
    for (int c = 0; c < 3; ++c) {
        axis[c] = glm::vec3(m[c]);
        length[c] = glm::length(axis[c]);
        if (!(length[c] > kFlat) || !std::isfinite(length[c])) {
            split.fits = false;
            return split;
        }
        if (std::fabs(length[c] - 1.0f) <= kUnitLength)
            length[c] = 1.0f;
        else
            axis[c] /= length[c];
    }
    // A mirrored piece: the turn stays a turn, the scale takes the sign.
    if (glm::dot(glm::cross(axis[0], axis[1]), axis[2]) < 0.0f) {
        axis[0] = -axis[0];
        length[0] = -length[0];
    }
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b)
            if (std::fabs(glm::dot(axis[a], axis[b])) > kRightAngle)
                split.fits = false;
    split.turn = btMatrix3x3(axis[0].x, axis[1].x, axis[2].x, //
                             axis[0].y, axis[1].y, axis[2].y, //
                             axis[0].z, axis[1].z, axis[2].z);
    split.scale = btVector3(length[0], length[1], length[2]);
    return split;
}

btMatrix3x3 linearPart(const glm::mat4& m) {
    return fromModelMatrix(m).getBasis();
}

} // namespace

glm::mat4 toModelMatrix(const btTransform& t) {
    const btMatrix3x3& basis = t.getBasis();
    const btVector3& origin = t.getOrigin();
    glm::mat4 m(1.0f);
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r) {
            m[c][r] = static_cast<float>(basis[r][c]);
        }
        m[c][3] = 0.0f;
    }
    m[3] = glm::vec4(static_cast<float>(origin.x()), static_cast<float>(origin.y()),
                     static_cast<float>(origin.z()), 1.0f);
    return m;
}

btTransform fromModelMatrix(const glm::mat4& m) {
    btMatrix3x3 basis(m[0][0], m[1][0], m[2][0], //
                      m[0][1], m[1][1], m[2][1], //
                      m[0][2], m[1][2], m[2][2]);
    return btTransform(basis, btVector3(m[3][0], m[3][1], m[3][2]));
}

PhysicsWorld::PhysicsWorld() {
    broadphase = new btDbvtBroadphase();
    collisionConfiguration = new btDefaultCollisionConfiguration();
    dispatcher = new btCollisionDispatcher(collisionConfiguration);
    solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, collisionConfiguration);
    dynamicsWorld->setGravity(btVector3(0, -10, 0));
}

PhysicsWorld::~PhysicsWorld() {
    removeTrackBodies();
    destroyBody(ballBody);
    ballBody = nullptr;
    destroyBody(groundBody);
    groundBody = nullptr;
    delete ballShape;
    ballShape = nullptr;
    delete groundShape;
    groundShape = nullptr;

    // The world refers to all of the following, so it goes first.
    delete dynamicsWorld;
    delete solver;
    delete dispatcher;
    delete collisionConfiguration;
    delete broadphase;
}

void PhysicsWorld::destroyBody(btRigidBody* body) {
    if (body == nullptr) {
        return;
    }
    dynamicsWorld->removeRigidBody(body);
    delete body->getMotionState();
    delete body;
}

void PhysicsWorld::createGround() {
    // A second call replaces the ground rather than leaking the first one.
    destroyBody(groundBody);
    delete groundShape;

    groundShape = new btStaticPlaneShape(btVector3(0, 1, 0), 0);
    auto* motionState = new btDefaultMotionState(btTransform(btQuaternion(0, 0, 0, 1), btVector3(0, -5, 0)));
    btRigidBody::btRigidBodyConstructionInfo info(0, motionState, groundShape, btVector3(0, 0, 0));
    info.m_friction = 0.5f;
    info.m_rollingFriction = 0.5f;
    info.m_restitution = 0.1f;
    groundBody = new btRigidBody(info);
    dynamicsWorld->addRigidBody(groundBody);
}

void PhysicsWorld::createBall() {
    destroyBody(ballBody);
    ballBody = nullptr;
    makeBall(btVector3(10, 5, 0), 0.5f, 0.8f);
}

void PhysicsWorld::makeBall(const btVector3& position, float friction, float restitution) {
    delete ballShape;
    ballShape = new btSphereShape(kBallRadius);
    btVector3 inertia(0, 0, 0);
    ballShape->calculateLocalInertia(kBallMass, inertia);
    auto* motionState = new btDefaultMotionState(btTransform(btQuaternion(0, 0, 0, 1), position));
    btRigidBody::btRigidBodyConstructionInfo info(kBallMass, motionState, ballShape, inertia);
    info.m_friction = friction;
    info.m_rollingFriction = 0.0f;
    info.m_restitution = restitution;
    ballBody = new btRigidBody(info);
    dynamicsWorld->addRigidBody(ballBody);
    ballBody->setLinearVelocity(btVector3(-1, 0, 0));
}

btTransform PhysicsWorld::shapeFor(TrackShape& parts, const glm::mat4& model, TrackShape& retired) {
    const btVector3 origin(model[3][0], model[3][1], model[3][2]);
    const TurnAndScale split = splitTurnAndScale(model);
    btBvhTriangleMeshShape* tree = parts.mesh != nullptr ? parts.mesh->shape() : nullptr;
    // What the body may still refer to is handed to `retired`, not deleted.
    auto replace = [&](std::unique_ptr<btCollisionShape> shape, std::unique_ptr<btTriangleMesh> moved) {
        retired.shape = std::move(parts.shape);
        retired.moved = std::move(parts.moved);
        parts.shape = std::move(shape);
        parts.moved = std::move(moved);
    };
    const int type = parts.shape != nullptr ? parts.shape->getShapeType() : -1;

    if (tree == nullptr) {
        // Nothing to collide with; the body still keeps the whole placement.
        if (type != COMPOUND_SHAPE_PROXYTYPE)
            replace(std::make_unique<btCompoundShape>(), nullptr);
    } else if (split.fits) {
        if (type == SCALED_TRIANGLE_MESH_SHAPE_PROXYTYPE)
            parts.shape->setLocalScaling(split.scale);
        else
            replace(std::make_unique<btScaledBvhTriangleMeshShape>(tree, split.scale), nullptr);
    } else if (parts.moved == nullptr || !(parts.linear == linearPart(model))) {
        // Sheared or flat: the triangles themselves are moved by the matrix,
        // the body only by its position. Rebuilt only when that part changes.
        const btMatrix3x3 linear = linearPart(model);
        auto moved = std::make_unique<btTriangleMesh>(true, false);
        for (int t = 0; t < parts.mesh->triangleCount(); ++t)
            moved->addTriangle(linear * parts.mesh->corner(t, 0), linear * parts.mesh->corner(t, 1),
                               linear * parts.mesh->corner(t, 2), false);
        auto shape = std::make_unique<btBvhTriangleMeshShape>(moved.get(), true, true);
        replace(std::move(shape), std::move(moved));
    }

    if (split.fits) {
        parts.linear = btMatrix3x3::getIdentity().scaled(split.scale);
        return btTransform(split.turn, origin);
    }
    parts.linear = linearPart(model);
    return btTransform(btMatrix3x3::getIdentity(), origin);
}

int PhysicsWorld::addTrackBody(const std::vector<glm::vec3>& collision, glm::mat4 model) {
    return addTrackBody(std::make_shared<CollisionMesh>(collision), model);
}

int PhysicsWorld::addTrackBody(std::shared_ptr<CollisionMesh> mesh, glm::mat4 model) {
    TrackShape parts;
    parts.mesh = std::move(mesh);
    // A matrix with a non-finite entry never reaches the world: the body keeps
    // the identity pose.
    TrackShape unused;
    const btTransform pose = shapeFor(parts, isFinite(model) ? model : glm::mat4(1.0f), unused);

    auto* motionState = new btDefaultMotionState(pose);
    btRigidBody::btRigidBodyConstructionInfo info(0, motionState, parts.shape.get(), btVector3(0, 0, 0));
    info.m_friction = 0.5f;
    info.m_rollingFriction = 0.5f;
    info.m_restitution = 0.0f;
    info.m_linearDamping = 0.0f;
    info.m_angularDamping = 0.0f;
    auto* body = new btRigidBody(info);
    body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
    body->setActivationState(DISABLE_DEACTIVATION);
    // Start the body where it is placed. Otherwise the first step takes the
    // jump from the origin for the piece's motion and the piece hits whatever
    // touches it at that speed.
    body->setWorldTransform(pose);
    body->setInterpolationWorldTransform(pose);

    dynamicsWorld->addRigidBody(body);
    trackBodies.push_back(body);
    trackShapes.push_back(std::move(parts));
    return static_cast<int>(trackBodies.size()) - 1;
}

glm::mat4 PhysicsWorld::getBallModelMatrix() const {
    if (ballBody == nullptr) {
        return glm::mat4(1.0f);
    }
    btTransform t;
    ballBody->getMotionState()->getWorldTransform(t);
    return toModelMatrix(t);
}

void PhysicsWorld::resetBall() {
    resetBallAt(raceStart, glm::vec3(-1.0f, 0.0f, 0.0f));
}

void PhysicsWorld::resetBallAt(const glm::vec3& position, const glm::vec3& velocity) {
    const auto finite3 = [](const glm::vec3& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    const bool finite = finite3(position) && finite3(velocity);
    const glm::vec3 at = finite ? position : raceStart;
    const glm::vec3 moving = finite ? velocity : glm::vec3(-1.0f, 0.0f, 0.0f);
    destroyBody(ballBody);
    ballBody = nullptr;
    makeBall(btVector3(at.x, at.y, at.z), 1.5f, 0.2f);
    ballBody->setLinearVelocity(btVector3(moving.x, moving.y, moving.z));
}

glm::mat4 PhysicsWorld::getBodyMatrix(int index) const {
    if (index < 0 || index >= static_cast<int>(trackBodies.size())) {
        return glm::mat4(1.0f);
    }
    btTransform t;
    trackBodies[index]->getMotionState()->getWorldTransform(t);
    t.setBasis(t.getBasis() * trackShapes[index].linear);
    return toModelMatrix(t);
}

void PhysicsWorld::setBodyTransform(int index, glm::mat4 model) {
    if (index < 0 || index >= static_cast<int>(trackBodies.size()) || !isFinite(model)) {
        return;
    }
    btRigidBody* body = trackBodies[index];
    TrackShape& parts = trackShapes[index];
    TrackShape retired; // released when the body has let go of it
    const btTransform pose = shapeFor(parts, model, retired);
    body->getMotionState()->setWorldTransform(pose);
    if (body->getCollisionShape() != parts.shape.get()) {
        body->setCollisionShape(parts.shape.get());
        // Contacts cached against the old shape go with it.
        if (body->getBroadphaseHandle() != nullptr)
            broadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                       dispatcher);
    }
}

void PhysicsWorld::removeTrackBodies() {
    for (btRigidBody* body : trackBodies)
        destroyBody(body);
    trackBodies.clear();
    trackShapes.clear(); // after the bodies that refer to them
}

void PhysicsWorld::removeTrackBody(int index) {
    if (index < 0 || index >= static_cast<int>(trackBodies.size())) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    destroyBody(trackBodies[i]);
    trackBodies.erase(trackBodies.begin() + index);
    trackShapes.erase(trackShapes.begin() + index); // after the body that refers to it
}

namespace {
template <typename T> void moveEntry(std::vector<T>& list, int from, int to) {
    if (from < to) {
        std::rotate(list.begin() + from, list.begin() + from + 1, list.begin() + to + 1);
    } else {
        std::rotate(list.begin() + to, list.begin() + from, list.begin() + from + 1);
    }
}
} // namespace

void PhysicsWorld::moveTrackBody(int from, int to) {
    const int count = static_cast<int>(trackBodies.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) {
        return;
    }
    moveEntry(trackBodies, from, to);
    moveEntry(trackShapes, from, to);
}

int PhysicsWorld::step(float timeStep) {
    // A broken frame time would stay in the world's clock for good.
    if (!std::isfinite(timeStep) || timeStep < 0.0f) {
        timeStep = 0.0f;
    }
    // Past a minute the sub-step count could overflow inside the library; the
    // time beyond the cap is dropped all the same.
    timeStep = std::min(timeStep, 60.0f);
    // Bullet reports the sub-steps the time called for; only kMaxSubSteps are taken.
    const int wanted = dynamicsWorld->stepSimulation(timeStep, kMaxSubSteps, kFixedSubStep);
    return std::min(wanted, kMaxSubSteps);
}

bool PhysicsWorld::ballTouches() const {
    // Contact points are kept a little before and after touching; closer
    // than this the ball rests on the surface.
    constexpr btScalar kTouchDistance = 0.02f;
    if (dispatcher == nullptr || ballBody == nullptr)
        return false;
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(i);
        if (manifold->getBody0() != ballBody && manifold->getBody1() != ballBody)
            continue;
        for (int j = 0; j < manifold->getNumContacts(); ++j)
            if (manifold->getContactPoint(j).getDistance() <= kTouchDistance)
                return true;
    }
    return false;
}

} // namespace tovi
