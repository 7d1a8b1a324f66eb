#pragma once
// The track pieces drawn a kind at a time: one instanced draw per piece kind
// in the scene, one for all their lamps and one per kind in the shadow pass.
// Each draw takes its model matrices (and the pieces' lamp positions) from a
// per-instance buffer refilled every frame with only what that frame draws,
// so a piece out of sight costs nothing on the GL side, and the driver's work
// per frame follows the kinds, not the pieces.
//
// The picture is the one the pieces draw one by one (Track::draw, the lamp
// drawn at each piece, Track::drawShadow): the same meshes, textures, shaders'
// fragment stages and values, only carried by fewer draw calls.
#include "render/GL.h"
#include "render/ShadowMap.h"

#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

namespace tovi {
class ShaderProgram;
class Texture;
} // namespace tovi

namespace tovi::scene {
class Light;
class MeshBuffers;
class SceneObject;
class Track;

class PieceBatches : public ShadowInstancer {
  public:
    static constexpr const char* kPieceVertex = "Kobuldo/Shader/normalmap_instanced.vert";
    static constexpr const char* kPieceFragment = "Kobuldo/Shader/normalmap.frag";
    static constexpr const char* kLampVertex = "Kobuldo/Shader/default_instanced.vert";
    static constexpr const char* kLampFragment = "Kobuldo/Shader/default.frag";

    // Builds the instanced programs (the pieces' fragment stage from
    // pieceFragment). Needs a current context.
    explicit PieceBatches(const std::string& pieceFragment = kPieceFragment);
    ~PieceBatches() override;
    PieceBatches(const PieceBatches&) = delete;
    PieceBatches& operator=(const PieceBatches&) = delete;

    // The pieces' program: the frame sets "P", "V", "depthBiasVP" and
    // "shadowMap" in it before drawPieces, as for the one-by-one program.
    const ShaderProgram& pieceProgram() const { return *pieceShader; }

    // Draws the given pieces (track pieces; anything else is passed over),
    // a kind at a time, the kinds in the order of their first piece in the
    // list and each kind's pieces in list order, with the piece program and
    // each piece's drawTint (the editor's selection and overlap marks).
    // Then, when a lamp is given, every piece's lamp: 6 above the piece's
    // draw origin, moved by lampOffset on x and z, with viewProjection; in
    // one draw for the lamps within kFarLamp of the eye and one, with the
    // lamp's far mesh, for the rest.
    void draw(const std::vector<SceneObject*>& pieces, const Light* lamp, const glm::vec2& lampOffset,
              const glm::mat4& viewProjection, const glm::vec3& eye);

    // Beyond this distance a lamp is at most a dozen pixels tall.
    static constexpr float kFarLamp = 25.0f;

    // The shadow pass: track pieces are taken, drawn a kind at a time.
    bool take(SceneObject& caster) override;
    bool takenChanged() const override;
    void drawTaken() override;
    void keepTaken() override;

  private:
    struct PieceInstance {
        glm::mat4 model;
        glm::vec4 lamp; // xyz: the lamp's position
        glm::vec4 tint; // xyz: the editor's mark, added to the colour
    };
    // The vertex arrays of one mesh: its own buffers with the per-instance
    // attributes beside them. Holding the mesh keeps the buffers alive.
    struct Kind {
        std::shared_ptr<const MeshBuffers> mesh;
        std::shared_ptr<const Texture> diffuse, normal; // the kind's pictures
        GLuint pieceArray = 0;
        GLuint shadowArray = 0;
        std::vector<PieceInstance> pieces;   // this frame's, refilled
        std::vector<glm::mat4> casters;      // this shadow pass's, refilled
        std::vector<glm::mat4> drawnCasters; // the last drawn
    };
    // A buffer refilled every frame, its storage orphaned first so the
    // driver need not wait for the last frame's draws.
    struct StreamBuffer {
        GLuint id = 0;
        std::size_t capacity = 0;
        void fill(const void* data, std::size_t bytes);
    };

    // The kind of a track piece, made at its first sight.
    Kind& kindOf(const Track& piece);
    // A lamp mesh with the lamp program's attributes and the instance matrix.
    struct LampShape {
        std::shared_ptr<const MeshBuffers> mesh;
        GLuint array = 0;
        std::size_t instances = 0; // this frame's
    };
    void useLampMesh(LampShape& shape, const std::shared_ptr<const MeshBuffers>& mesh);
    // Points the instance attributes of the bound vertex array (those with a
    // location) at `offset` bytes into the bound array buffer.
    void pointInstances(GLint modelLocation, GLint lampLocation, GLint tintLocation, std::size_t stride,
                        std::size_t offset) const;

    std::unique_ptr<ShaderProgram> pieceShader;
    std::unique_ptr<ShaderProgram> lampProgram;
    std::vector<std::unique_ptr<Kind>> kinds;
    std::vector<Kind*> order; // the kinds drawn this frame, in order
    std::vector<PieceInstance> staged;
    std::vector<glm::mat4> stagedMatrices;
    StreamBuffer pieceBuffer, lampBuffer, shadowBuffer;
    LampShape nearLamps, farLamps;
    GLint pieceModel = -1, pieceLamp = -1, pieceTint = -1, lampModel = -1;
};

} // namespace tovi::scene
