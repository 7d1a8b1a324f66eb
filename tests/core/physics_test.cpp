#include "physics/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

using tovi::PhysicsWorld;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct WorldCounts {
    int rigidBodies = 0;
    int dynamicBodies = 0;
};

WorldCounts countBodies(const PhysicsWorld& world) {
    WorldCounts counts;
    const btCollisionObjectArray& objects = world.dynamicsWorld->getCollisionObjectArray();
    for (int i = 0; i < objects.size(); ++i) {
        if (const btRigidBody* body = btRigidBody::upcast(objects[i])) {
            ++counts.rigidBodies;
            if (body->getInvMass() > 0) {
                ++counts.dynamicBodies;
            }
        }
    }
    return counts;
}

// Triangles of a track body's shape, seen through the body's own scaling.
int countTriangles(const btCollisionShape* shape) {
    if (auto* scaled = dynamic_cast<const btScaledBvhTriangleMeshShape*>(shape))
        shape = scaled->getChildShape();
    auto* meshShape = dynamic_cast<const btBvhTriangleMeshShape*>(shape);
    if (meshShape == nullptr) {
        return 0;
    }
    const btStridingMeshInterface* mesh = meshShape->getMeshInterface();
    int total = 0;
    for (int part = 0; part < mesh->getNumSubParts(); ++part) {
        const unsigned char* vertices = nullptr;
        int numVertices = 0;
        PHY_ScalarType vertexType;
        int vertexStride = 0;
        const unsigned char* indices = nullptr;
        int indexStride = 0;
        int numFaces = 0;
        PHY_ScalarType indexType;
        mesh->getLockedReadOnlyVertexIndexBase(&vertices, numVertices, vertexType, vertexStride, &indices,
                                               indexStride, numFaces, indexType, part);
        total += numFaces;
        mesh->unLockReadOnlyVertexBase(part);
    }
    return total;
}

// A flat square of side 2*half in the local y = 0 plane, as two triangles.
std::vector<glm::vec3> flatSquare(float half) {
    return {{-half, 0, -half}, {-half, 0, half}, {half, 0, half},
            {-half, 0, -half}, {half, 0, half},  {half, 0, -half}};
}

glm::vec3 ballPosition(const PhysicsWorld& world) {
    return glm::vec3(world.getBallModelMatrix()[3]);
}

void runSeconds(PhysicsWorld& world, float seconds) {
    const int frames = static_cast<int>(seconds * 60.0f);
    for (int i = 0; i < frames; ++i) {
        world.step(1.0f / 60.0f);
    }
}

void expectMatrixEq(const glm::mat4& expected, const glm::mat4& actual) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(expected[c][r], actual[c][r]) << "column " << c << " row " << r;
        }
    }
}

class PhysicsWorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.createGround();
        world.createBall();
    }
    PhysicsWorld world;
};

TEST_F(PhysicsWorldTest, TwoResetsLeaveOneFreshRaceBall) {
    world.step(0.5f); // give the old ball some motion to lose
    world.resetBall();
    world.ballBody->setAngularVelocity(btVector3(3, 2, 1));
    world.resetBall();

    const WorldCounts counts = countBodies(world);
    EXPECT_EQ(counts.rigidBodies, 2); // ground and ball
    EXPECT_EQ(counts.dynamicBodies, 1);

    const btVector3 velocity = world.ballBody->getLinearVelocity();
    EXPECT_FLOAT_EQ(velocity.x(), -1.0f);
    EXPECT_FLOAT_EQ(velocity.y(), 0.0f);
    EXPECT_FLOAT_EQ(velocity.z(), 0.0f);
    EXPECT_EQ(world.ballBody->getAngularVelocity().length(), 0.0f);
    EXPECT_FLOAT_EQ(world.ballBody->getFriction(), 1.5f);
    EXPECT_FLOAT_EQ(world.ballBody->getRestitution(), 0.2f);

    const glm::mat4 m = world.getBallModelMatrix();
    glm::mat4 expected(1.0f);
    expected[3] = glm::vec4(-0.88f, 65.8f, 21.2f, 1.0f);
    expectMatrixEq(expected, m);
}

TEST_F(PhysicsWorldTest, BodyTransformRoundTripsExactly) {
    const int index = world.addTrackBody(flatSquare(1.0f), glm::mat4(1.0f));

    glm::mat4 turned = glm::rotate(glm::mat4(1.0f), glm::radians(37.0f), glm::vec3(0.3f, 1.0f, -0.2f));
    turned[3] = glm::vec4(12.5f, -3.25f, 7.125f, 1.0f);
    world.setBodyTransform(index, turned);
    expectMatrixEq(turned, world.getBodyMatrix(index));

    // A scale is split off into the body's shape and put back on the way out.
    glm::mat4 scaled = glm::scale(turned, glm::vec3(2.0f, 0.5f, -3.0f));
    glm::mat4 withOddFourthRow = scaled;
    withOddFourthRow[0][3] = 4.0f;
    withOddFourthRow[3][3] = 9.0f;
    world.setBodyTransform(index, withOddFourthRow);
    scaled = world.getBodyMatrix(index);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(scaled[c][r], glm::scale(turned, glm::vec3(2.0f, 0.5f, -3.0f))[c][r], 1e-5f);
    EXPECT_EQ(scaled[0][3], 0.0f); // fourth row back as (0, 0, 0, 1)
    EXPECT_EQ(scaled[3][3], 1.0f);

    // A broken matrix never reaches the world: the previous pose stays.
    glm::mat4 broken = turned;
    broken[3][1] = kNaN;
    world.setBodyTransform(index, broken);
    broken = turned;
    broken[1][2] = std::numeric_limits<float>::infinity();
    world.setBodyTransform(index, broken);
    expectMatrixEq(scaled, world.getBodyMatrix(index));

    // Nor as a new piece's placement: that body keeps the identity.
    const int other = world.addTrackBody(flatSquare(1.0f), broken);
    expectMatrixEq(glm::mat4(1.0f), world.getBodyMatrix(other));

    // Indices outside the list are ignored rather than trusted.
    world.setBodyTransform(99, turned);
    world.setBodyTransform(-1, turned);
    expectMatrixEq(glm::mat4(1.0f), world.getBodyMatrix(99));
}

TEST_F(PhysicsWorldTest, BallBesideTheTrackComesToRestOnTheGround) {
    // The start-up ball falls from (10, 5, 0); the track lies far from it.
    world.addTrackBody(flatSquare(2.0f), glm::translate(glm::mat4(1.0f), glm::vec3(-40.0f, 0.0f, 0.0f)));
    runSeconds(world, 20.0f);
    EXPECT_NEAR(ballPosition(world).y, -4.75f, 0.02f);
    runSeconds(world, 5.0f);
    EXPECT_NEAR(ballPosition(world).y, -4.75f, 0.02f);
}

TEST_F(PhysicsWorldTest, StepsInWholeFixedSubSteps) {
    world.resetBall(); // high above everything: free flight

    // Shorter than a sub-step: nothing simulated, but the shown ball moves on
    // (interpolated from the motion of the last sub-step).
    EXPECT_EQ(world.step(1.0f / 60.0f), 1);
    const float speedY = world.ballBody->getLinearVelocity().y();
    const glm::vec3 before = ballPosition(world);
    EXPECT_EQ(world.step(1.0f / 120.0f), 0);
    const glm::vec3 after = ballPosition(world);
    EXPECT_NEAR(after.x - before.x, -1.0f / 120.0f, 1e-4f);
    EXPECT_LT(after.y, before.y);
    EXPECT_EQ(world.ballBody->getLinearVelocity().y(), speedY);

    // Half a second would be 30 sub-steps; only 10 are taken.
    EXPECT_EQ(world.step(0.5f), 10);
    EXPECT_NEAR(world.ballBody->getLinearVelocity().y(), -10.0f * 11.0f / 60.0f, 1e-3f);

    // Broken frame times simulate nothing and leave the world usable.
    EXPECT_EQ(world.step(kNaN), 0);
    EXPECT_EQ(world.step(-1.0f), 0);
    EXPECT_EQ(world.step(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(world.step(1.0f / 60.0f + 1e-4f), 1);
    EXPECT_TRUE(std::isfinite(ballPosition(world).y));
}

TEST_F(PhysicsWorldTest, RemovingTrackBodiesStartsTheIndicesAgain) {
    world.removeTrackBodies(); // empty list: nothing happens
    EXPECT_TRUE(world.trackBodies.empty());

    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(world.addTrackBody(flatSquare(1.0f), glm::mat4(1.0f)), i);
    }
    EXPECT_EQ(countBodies(world).rigidBodies, 5);
    world.removeTrackBodies();
    EXPECT_TRUE(world.trackBodies.empty());
    EXPECT_EQ(countBodies(world).rigidBodies, 2);
    EXPECT_EQ(world.addTrackBody(flatSquare(1.0f), glm::mat4(1.0f)), 0);
    world.step(1.0f / 60.0f);
}

TEST_F(PhysicsWorldTest, BallRestsOnAPiecePlacedByItsMatrix) {
    // The start-up ball falls from (10, 5, 0) onto a square lying at height 2,
    // turned about the vertical axis and moved under it.
    glm::mat4 placement = glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 2.0f, 0.0f));
    placement = glm::rotate(placement, glm::radians(30.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    const int index = world.addTrackBody(flatSquare(15.0f), placement);
    EXPECT_EQ(index, 0);
    const btRigidBody* body = world.trackBodies[0];
    EXPECT_TRUE(body->isKinematicObject());
    EXPECT_EQ(body->getActivationState(), DISABLE_DEACTIVATION);
    EXPECT_EQ(body->getInvMass(), 0.0f);

    runSeconds(world, 4.0f);
    EXPECT_NEAR(ballPosition(world).y, 2.25f, 0.02f);

    // Moving the piece away lets the ball fall to the ground.
    world.setBodyTransform(index, glm::translate(glm::mat4(1.0f), glm::vec3(-60.0f, 2.0f, 0.0f)));
    runSeconds(world, 6.0f);
    EXPECT_NEAR(ballPosition(world).y, -4.75f, 0.05f);
}

// The ball set down at rest just above `at`.
void dropBallAt(PhysicsWorld& world, const glm::vec3& at) {
    const btTransform pose(btQuaternion::getIdentity(), btVector3(at.x, at.y + 0.5f, at.z));
    world.ballBody->setWorldTransform(pose);
    world.ballBody->getMotionState()->setWorldTransform(pose);
    world.ballBody->setLinearVelocity(btVector3(0, 0, 0));
    world.ballBody->setAngularVelocity(btVector3(0, 0, 0));
}

// Pieces of one kind share one collision mesh; each is scaled on its own and
// collides where it is drawn (the model matrix applied to the mesh).
TEST_F(PhysicsWorldTest, ScaledPiecesCollideWhereTheyAreDrawn) {
    // A 2 x 2 square at height 2, stretched to twice its length (4 along x):
    // a ball dropped at x = +1.7 (beyond the unscaled square) lands on it.
    const auto square = std::make_shared<tovi::CollisionMesh>(flatSquare(1.0f));
    const glm::mat4 at = glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 2.0f, 0.0f));
    const int stretched = world.addTrackBody(square, glm::scale(at, glm::vec3(2.0f, 1.0f, 1.0f)));
    dropBallAt(world, glm::vec3(11.7f, 2.0f, 0.0f));
    runSeconds(world, 1.0f);
    EXPECT_NEAR(ballPosition(world).y, 2.25f, 0.02f);

    // Turned a quarter first, the length runs along z.
    const glm::mat4 turned = glm::rotate(at, glm::radians(90.0f), glm::vec3(0, 1, 0));
    world.setBodyTransform(stretched, glm::scale(turned, glm::vec3(2.0f, 1.0f, 1.0f)));
    dropBallAt(world, glm::vec3(10.0f, 2.0f, -1.7f));
    runSeconds(world, 1.0f);
    EXPECT_NEAR(ballPosition(world).y, 2.25f, 0.02f);
    dropBallAt(world, glm::vec3(11.7f, 2.0f, 0.0f)); // now beside it: the ball falls past
    runSeconds(world, 1.0f);
    EXPECT_LT(ballPosition(world).y, 1.0f);

    // The editor shrinks a piece step by step: the same mesh, scaled again.
    world.setBodyTransform(stretched, glm::scale(at, glm::vec3(0.5f, 1.0f, 1.0f)));
    dropBallAt(world, glm::vec3(10.9f, 2.0f, 0.0f));
    runSeconds(world, 1.0f);
    EXPECT_LT(ballPosition(world).y, 1.0f);

    // Scaled along x, then turned about y: the square becomes a rhombus
    // reaching x = +-2.83 at z = 0 and z = +-1.41 at x = 0. It takes its own
    // moved triangles and still collides as drawn.
    const glm::mat4 sheared =
        glm::rotate(glm::scale(at, glm::vec3(2.0f, 1.0f, 1.0f)), glm::radians(45.0f), glm::vec3(0, 1, 0));
    world.setBodyTransform(stretched, sheared);
    dropBallAt(world, glm::vec3(12.0f, 2.0f, 0.0f));
    runSeconds(world, 1.0f);
    EXPECT_NEAR(ballPosition(world).y, 2.25f, 0.02f);
    const glm::mat4 back = world.getBodyMatrix(stretched);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(back[c][r], sheared[c][r], 1e-5f);

    // A second piece of the same kind shares the tree; pieces on the way
    // out leave the mesh to whoever still uses it.
    world.addTrackBody(square, glm::translate(glm::mat4(1.0f), glm::vec3(-10.0f, 2.0f, 0.0f)));
    EXPECT_EQ(square.use_count(), 3);
    world.removeTrackBodies();
    EXPECT_EQ(square.use_count(), 1);
}

TEST_F(PhysicsWorldTest, CollisionListsGiveWholeTrianglesOnly) {
    std::vector<glm::vec3> nine;
    for (int i = 0; i < 9; ++i) {
        nine.emplace_back(static_cast<float>(i % 3), static_cast<float>(i / 3), static_cast<float>(i % 2));
    }
    std::vector<glm::vec3> eleven = nine;
    eleven.emplace_back(5, 5, 5);
    eleven.emplace_back(6, 5, 5);
    std::vector<glm::vec3> withBrokenTriangle = nine;
    withBrokenTriangle[4].y = kNaN;

    const int a = world.addTrackBody(nine, glm::mat4(1.0f));
    const int b = world.addTrackBody(eleven, glm::mat4(1.0f));
    const int c = world.addTrackBody(withBrokenTriangle, glm::mat4(1.0f));
    EXPECT_EQ(countTriangles(world.trackBodies[a]->getCollisionShape()), 3);
    EXPECT_EQ(countTriangles(world.trackBodies[b]->getCollisionShape()), 3);
    EXPECT_EQ(countTriangles(world.trackBodies[c]->getCollisionShape()), 2);
}

TEST_F(PhysicsWorldTest, PieceWithoutTrianglesKeepsItsIndexAndIsSafe) {
    // Empty and too-short lists each get their own body between real pieces.
    EXPECT_EQ(world.addTrackBody(flatSquare(1.0f), glm::mat4(1.0f)), 0);
    EXPECT_EQ(world.addTrackBody(std::vector<glm::vec3>{},
                                 glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 0.0f, 0.0f))),
              1);
    EXPECT_EQ(world.addTrackBody({{1, 2, 3}, {4, 5, 6}}, glm::mat4(1.0f)), 2);
    EXPECT_EQ(world.addTrackBody({{kNaN, 0, 0}, {1, 0, 0}, {0, 0, 1}}, glm::mat4(1.0f)), 3);
    EXPECT_EQ(world.addTrackBody(flatSquare(1.0f), glm::mat4(1.0f)), 4);
    EXPECT_EQ(world.trackBodies.size(), 5u);

    // The ball falls right through the empty piece under it onto the ground.
    world.setBodyTransform(1, glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 1.0f, 0.0f)));
    EXPECT_EQ(glm::vec3(world.getBodyMatrix(1)[3]), glm::vec3(10.0f, 1.0f, 0.0f));
    runSeconds(world, 20.0f);
    EXPECT_NEAR(ballPosition(world).y, -4.75f, 0.02f);

    world.removeTrackBodies();
    EXPECT_EQ(world.addTrackBody(std::vector<glm::vec3>{}, glm::mat4(1.0f)), 0);
}

TEST(PhysicsWorldSetUp, BuildsTheDocumentedBodies) {
    PhysicsWorld world;
    EXPECT_EQ(world.dynamicsWorld->getGravity(), btVector3(0, -10, 0));
    world.createGround();
    world.createBall();
    btTransform ground;
    world.groundBody->getMotionState()->getWorldTransform(ground);
    EXPECT_FLOAT_EQ(ground.getOrigin().y(), -5.0f);
    EXPECT_FLOAT_EQ(world.groundBody->getRestitution(), 0.1f);
    EXPECT_EQ(world.ballShape->getRadius(), 0.25f);
    EXPECT_FLOAT_EQ(world.ballBody->getRestitution(), 0.8f);
    EXPECT_EQ(glm::vec3(world.getBallModelMatrix()[3]), glm::vec3(10.0f, 5.0f, 0.0f));
    EXPECT_EQ(world.ballBody->getLinearVelocity(), btVector3(-1, 0, 0));

    // A world torn down without ever adding a ball or ground is fine too.
    PhysicsWorld bare;
    bare.resetBall();
    EXPECT_EQ(countBodies(bare).dynamicBodies, 1);
}

} // namespace

// A piece placed far from the origin does not move at its first step, so a
// ball resting on a freshly placed piece is not flung away.
TEST(PhysicsWorldPlacement, NewPieceStartsAtRestWhereItIsPlaced) {
    tovi::PhysicsWorld world;
    world.createGround();
    world.createBall();
    glm::mat4 model(1.0f);
    model[3] = glm::vec4(30.0f, 40.0f, -20.0f, 1.0f);
    std::vector<glm::vec3> square = {{-2, 0, -2}, {2, 0, -2}, {2, 0, 2}, {-2, 0, -2}, {2, 0, 2}, {-2, 0, 2}};
    const int index = world.addTrackBody(square, model);
    world.step(1.0f / 60.0f);
    btRigidBody* body = world.trackBodies[static_cast<size_t>(index)];
    EXPECT_LT(body->getLinearVelocity().length(), 1e-4f);
    EXPECT_LT(body->getAngularVelocity().length(), 1e-4f);
}
