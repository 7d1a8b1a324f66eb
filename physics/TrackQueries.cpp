// Questions the editor asks of the track bodies: what a ray meets, how far
// a body reaches. Both use the body's last placement, which the editor sets
// while the world stands still.
#include "physics/PhysicsWorld.h"

namespace tovi {

namespace {
btVector3 toBullet(const glm::vec3& v) {
    return btVector3(v.x, v.y, v.z);
}
} // namespace

bool PhysicsWorld::rayHitsTrack(int index, const glm::vec3& from, const glm::vec3& to,
                                float& fraction) const {
    if (index < 0 || index >= static_cast<int>(trackBodies.size()))
        return false;
    const btRigidBody* body = trackBodies[static_cast<std::size_t>(index)];
    btTransform pose;
    body->getMotionState()->getWorldTransform(pose);
    btCollisionWorld::ClosestRayResultCallback result(toBullet(from), toBullet(to));
    btTransform rayFrom, rayTo;
    rayFrom.setIdentity();
    rayTo.setIdentity();
    rayFrom.setOrigin(toBullet(from));
    rayTo.setOrigin(toBullet(to));
    btCollisionWorld::rayTestSingle(rayFrom, rayTo, const_cast<btRigidBody*>(body), body->getCollisionShape(),
                                    pose, result);
    if (!result.hasHit())
        return false;
    fraction = result.m_closestHitFraction;
    return true;
}

bool PhysicsWorld::trackBounds(int index, glm::vec3& lowest, glm::vec3& highest) const {
    if (index < 0 || index >= static_cast<int>(trackBodies.size()))
        return false;
    const btRigidBody* body = trackBodies[static_cast<std::size_t>(index)];
    btTransform pose;
    body->getMotionState()->getWorldTransform(pose);
    btVector3 low, high;
    body->getCollisionShape()->getAabb(pose, low, high);
    lowest = glm::vec3(low.x(), low.y(), low.z());
    highest = glm::vec3(high.x(), high.y(), high.z());
    return true;
}

} // namespace tovi
