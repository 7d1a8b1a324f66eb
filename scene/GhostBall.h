#pragma once
#include "core/mesh/SceneObject.h"

namespace tovi::scene {
class Pellix;

// The ghost of the best run: the player's ball drawn pale and see-through
// where the model matrix puts it, with the ball's own mesh and textures. It
// is no physics body, has no head and casts no shadow.
class GhostBall : public SceneObject {
  public:
    explicit GhostBall(const Pellix& ball) : ball(ball) {}

    void update(float) override {}
    // Blends over what is drawn already and writes no depth; the frame draws
    // it after everything solid.
    void draw() override;
    void drawShadow() override {}

  private:
    const Pellix& ball;
};

} // namespace tovi::scene
