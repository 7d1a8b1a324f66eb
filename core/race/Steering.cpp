#include "core/race/Steering.h"

#include "physics/PhysicsWorld.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {
constexpr float kPushStrength = 0.05f;
} // namespace

double steerAngle(Steer key) {
    switch (key) {
    case Steer::W:
        return 0.0;
    case Steer::S:
        return static_cast<double>(3.1415f);
    case Steer::A:
        return static_cast<double>(1.57f);
    case Steer::D:
        return static_cast<double>(-1.57f);
    case Steer::None:
        break;
    }
    return 0.0;
}

void pushBall(PhysicsWorld& world, double angle, float share) {
    btRigidBody* body = world.ballBody;
    if (body == nullptr)
        return;
    const btVector3& v = body->getLinearVelocity();
    const glm::dvec3 velocity(v.x(), v.y(), v.z());
    // Turn the velocity about the vertical axis (Rodrigues, k = +y).
    const glm::dvec3 k(0.0, 1.0, 0.0);
    const glm::dvec3 along = k * glm::dot(k, velocity);
    const glm::dvec3 turned =
        along + (velocity - along) * std::cos(angle) + glm::cross(k, velocity) * std::sin(angle);
    const double length = glm::length(turned);
    if (!(length > 0.0) || !std::isfinite(length))
        return; // a ball at rest has no direction to push along
    const glm::dvec3 force =
        turned / length * static_cast<double>(kPushStrength * std::clamp(share, 0.0f, 1.0f));

    btTransform transform;
    body->getMotionState()->getWorldTransform(transform);
    body->applyForce(btVector3(static_cast<btScalar>(force.x), static_cast<btScalar>(force.y),
                               static_cast<btScalar>(force.z)),
                     transform.getOrigin());
}

} // namespace tovi
