#pragma once
#include "render/GL.h"

#include "physics/RaceStart.h"

#include <glm/glm.hpp>

#include <memory>
#include <vector>

namespace tovi {
class ShaderProgram;
namespace scene {
class SceneObject;
}

// Draws shadow casters of a kind together. The shadow pass offers it each
// caster that reaches the light's box; what it takes it draws in drawTaken,
// with the instanced depth program bound: positions at generic location 0,
// the model matrix per instance at locations 1 to 4 ("death_instanced.vert").
class ShadowInstancer {
  public:
    virtual ~ShadowInstancer() = default;
    // True when this caster is drawn by drawTaken instead of on its own.
    virtual bool take(scene::SceneObject& caster) = 0;
    // Whether what was taken since the last drawTaken or keepTaken differs
    // from what the last drawTaken drew (meshes and draw matrices).
    virtual bool takenChanged() const = 0;
    // Draws what was taken and remembers it as drawn.
    virtual void drawTaken() = 0;
    // Remembers what was taken as drawn, without drawing it.
    virtual void keepTaken() = 0;
};

// The depth map of the one light that looks down on the course from high
// above. Its box (100 x 100 across, 120 deep) follows a focus point, the
// ball or the editor's camera, so a course of any length has shadows where
// the player looks; with the focus at the race start it is the box the
// courses were made with. The ball and the track pieces compare against it
// with depthBiasVP.
class ShadowMap {
  public:
    static constexpr int kSize = 2048;

    // Needs a current context.
    ShadowMap();
    ~ShadowMap();
    ShadowMap(const ShadowMap&) = delete;
    ShadowMap& operator=(const ShadowMap&) = delete;

    // Draws the given casters that reach the light's box into the map, each
    // with its draw matrix, and leaves the default framebuffer bound with the
    // given viewport. Only the squares those casters cover (each within
    // kPieceCullRadius of its origin, grown with its scale) are drawn, and
    // only those and the last pass's squares are cleared: the rest of the map
    // stays at the far depth from the first, whole clear.
    //
    // What the instancer takes is drawn again only when it changed (or the
    // light's box did); in between, the map keeps it, and only the other
    // casters (the ball) are drawn anew over it, the square they covered the
    // last time first put back from a copy.
    void drawShadowPass(const std::vector<scene::SceneObject*>& casters, int viewportWidth,
                        int viewportHeight, ShadowInstancer* instancer = nullptr);

    // The light's projection and view with the focus at the race start.
    static glm::mat4 lightProjection();
    static glm::mat4 lightView();
    // Projection x view of the box around focus: the box above moved by the
    // focus's offset from the race start, rounded to steps of kBoxStep map
    // texels across and as many units in depth. Whole texels keep shadow
    // edges still while the box moves; the coarse steps keep the pieces'
    // layer of the map (drawn again whenever the box moves) for many frames.
    static glm::mat4 lightViewProjection(const glm::vec3& focus);

    // The point the next passes keep the box around.
    glm::vec3 focus = kDefaultRaceStart;
    // Maps -1..1 to 0..1 on all three axes.
    static glm::mat4 biasMatrix();

    GLuint depthTexture() const { return depthTextureId; }

    // bias x light projection x light view of the last pass; the identity
    // before the first.
    glm::mat4 depthBiasVP{1.0f};

    // A rectangle of map texels; empty when x1 <= x0 or y1 <= y0.
    struct Area {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };

  private:
    // The box moves in steps of this many map texels (3.125 units).
    static constexpr int kBoxStep = 64;
    // The copy of the moving casters' last square: at most this many texels a side.
    static constexpr int kSavedSize = 512;
    static GLuint makeDepthTarget(GLuint& texture, int size);
    static Area areaOf(const std::vector<scene::SceneObject*>& casters, const glm::mat4& lightVP);

    std::unique_ptr<ShaderProgram> program;
    std::unique_ptr<ShaderProgram> instancedProgram;
    GLint lightVPLocation = -1;
    // The squares of the last pass: the whole map before the first.
    Area fixedArea{0, 0, kSize, kSize};
    Area movingArea{};
    // Whether the map holds the fixed layer drawn with fixedLightVP.
    bool fixedLayerValid = false;
    glm::mat4 fixedLightVP{1.0f};
    // This pass's casters, their storage kept between passes.
    std::vector<scene::SceneObject*> fixedCasters, movingCasters;
    GLint depthMvpLocation = -1;
    GLuint framebuffer = 0;
    GLuint vertexArray = 0;
    GLuint depthTextureId = 0;
    GLuint savedFramebuffer = 0;
    GLuint savedTexture = 0;
};

} // namespace tovi
