#pragma once
#include "render/GL.h"

#include <glm/glm.hpp>

#include <memory>
#include <vector>

namespace tovi {
class ShaderProgram;
namespace scene {
class SceneObject;
}

// The depth map of the one fixed light that looks down on the course from
// high above. The ball and the track pieces compare against it with
// depthBiasVP.
class ShadowMap {
  public:
    static constexpr int kSize = 2048;

    // Needs a current context.
    ShadowMap();
    ~ShadowMap();
    ShadowMap(const ShadowMap&) = delete;
    ShadowMap& operator=(const ShadowMap&) = delete;

    // Draws the given casters into the map, each with its draw matrix, and
    // leaves the default framebuffer bound with the given viewport. Only the
    // square the casters cover (each within kPieceCullRadius of its origin)
    // is drawn, and only that and the last pass's square are cleared: the
    // rest of the map stays at the far depth from the first, whole clear.
    void drawShadowPass(const std::vector<scene::SceneObject*>& casters, int viewportWidth,
                        int viewportHeight);

    // The light's projection and view; fixed for the whole game.
    static glm::mat4 lightProjection();
    static glm::mat4 lightView();
    // Maps -1..1 to 0..1 on all three axes.
    static glm::mat4 biasMatrix();

    GLuint depthTexture() const { return depthTextureId; }

    // bias x light projection x light view of the last pass; the identity
    // before the first.
    glm::mat4 depthBiasVP{1.0f};

  private:
    // A rectangle of map texels; empty when x1 <= x0 or y1 <= y0.
    struct Area {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    static Area areaOf(const std::vector<scene::SceneObject*>& casters, const glm::mat4& lightVP);

    std::unique_ptr<ShaderProgram> program;
    Area lastArea{0, 0, kSize, kSize}; // the whole map before the first pass
    GLint depthMvpLocation = -1;
    GLuint framebuffer = 0;
    GLuint vertexArray = 0;
    GLuint depthTextureId = 0;
};

} // namespace tovi
