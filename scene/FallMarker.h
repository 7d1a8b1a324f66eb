#pragma once
// The pin the course check leaves where its ball fell off the track: a
// downward point on the spot and a thin beam above it that shows from afar.
#include "render/ShaderProgram.h"
#include "scene/MeshBuffers.h"

#include <glm/glm.hpp>

namespace tovi::scene {

class FallMarker {
  public:
    FallMarker();
    FallMarker(const FallMarker&) = delete;
    FallMarker& operator=(const FallMarker&) = delete;

    // Draws the pin with its tip at the point into the bound framebuffer.
    void draw(const glm::mat4& viewProjection, const glm::vec3& point) const;

  private:
    tovi::ShaderProgram program;
    MeshData mesh;
    MeshBuffers buffers;
};

} // namespace tovi::scene
