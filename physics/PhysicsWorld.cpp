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

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

btVector3 toBt(const glm::vec3& v) {
    return btVector3(v.x, v.y, v.z);
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

int PhysicsWorld::addTrackBody(std::vector<glm::vec3> collision, glm::mat4 model) {
    auto* mesh = new btTriangleMesh(true, false);
    const std::size_t n = collision.size();
    for (std::size_t i = 0; i + 2 < n; i += 3) {
        const glm::vec3& a = collision[i];
        const glm::vec3& b = collision[i + 1];
        const glm::vec3& c = collision[i + 2];
        // A broken vertex would poison the bounding volume tree; drop its triangle.
        if (!isFinite(a) || !isFinite(b) || !isFinite(c)) {
            continue;
        }
        mesh->addTriangle(toBt(a), toBt(b), toBt(c), false);
    }

    btCollisionShape* shape = nullptr;
    if (mesh->getNumTriangles() > 0) {
        shape = new btBvhTriangleMeshShape(mesh, true, true);
    } else {
        // No whole triangle: the piece still needs its body (piece i keeps body
        // i), so it gets one that collides with nothing.
        delete mesh;
        mesh = nullptr;
        shape = new btCompoundShape();
    }

    auto* motionState = new btDefaultMotionState(btTransform::getIdentity());
    btRigidBody::btRigidBodyConstructionInfo info(0, motionState, shape, btVector3(0, 0, 0));
    info.m_friction = 0.5f;
    info.m_rollingFriction = 0.5f;
    info.m_restitution = 0.0f;
    info.m_linearDamping = 0.0f;
    info.m_angularDamping = 0.0f;
    auto* body = new btRigidBody(info);
    body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_KINEMATIC_OBJECT);
    body->setActivationState(DISABLE_DEACTIVATION);

    // A matrix with a non-finite entry never reaches the world: the body keeps
    // the identity pose.
    if (isFinite(model)) {
        const btTransform pose = fromModelMatrix(model);
        motionState->setWorldTransform(pose);
        // Start the body where it is placed. Otherwise the first step takes the
        // jump from the origin for the piece's motion and the piece hits
        // whatever touches it at that speed.
        body->setWorldTransform(pose);
        body->setInterpolationWorldTransform(pose);
    }

    dynamicsWorld->addRigidBody(body);
    trackBodies.push_back(body);
    trackMeshes.push_back(mesh);
    trackShapes.push_back(shape);
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
    destroyBody(ballBody);
    ballBody = nullptr;
    makeBall(btVector3(-0.88f, 65.8f, 21.2f), 1.5f, 0.2f);
}

glm::mat4 PhysicsWorld::getBodyMatrix(int index) const {
    if (index < 0 || index >= static_cast<int>(trackBodies.size())) {
        return glm::mat4(1.0f);
    }
    btTransform t;
    trackBodies[index]->getMotionState()->getWorldTransform(t);
    return toModelMatrix(t);
}

void PhysicsWorld::setBodyTransform(int index, glm::mat4 model) {
    if (index < 0 || index >= static_cast<int>(trackBodies.size()) || !isFinite(model)) {
        return;
    }
    trackBodies[index]->getMotionState()->setWorldTransform(fromModelMatrix(model));
}

void PhysicsWorld::removeTrackBodies() {
    for (std::size_t i = 0; i < trackBodies.size(); ++i) {
        destroyBody(trackBodies[i]);
        delete trackShapes[i]; // the shape refers to the mesh: it goes first
        delete trackMeshes[i];
    }
    trackBodies.clear();
    trackShapes.clear();
    trackMeshes.clear();
}

void PhysicsWorld::removeTrackBody(int index) {
    if (index < 0 || index >= static_cast<int>(trackBodies.size())) {
        return;
    }
    const auto i = static_cast<std::size_t>(index);
    destroyBody(trackBodies[i]);
    delete trackShapes[i];
    delete trackMeshes[i];
    trackBodies.erase(trackBodies.begin() + index);
    trackShapes.erase(trackShapes.begin() + index);
    trackMeshes.erase(trackMeshes.begin() + index);
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
    moveEntry(trackMeshes, from, to);
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

} // namespace tovi
