#pragma once
// Assembles one frame from the game's state: a full-screen picture outside a
// race, otherwise the shadow pass, the scene with its HUD into the off-screen
// buffer, the glow blur and the composition.
#include <glm/glm.hpp>

#include <optional>
#include <string>
#include <vector>

class ViewFrustum;

namespace tovi {
class Controls;
class CourseList;
struct MedalScreen;
class MyCollision;
class RacePictures;
class OffscreenBuffer;
class ShaderProgram;
class ShadowMap;
class SkyBox;
class TextRenderer;
namespace scene {
class SceneObject;
class Light;
class ParticleRenderer;
class FallMarker;
class PieceBatches;
} // namespace scene

// Everything a frame draws and how. A missing (null) part is left out.
struct FrameInputs {
    MyCollision* race = nullptr; // without it nothing is drawn
    const std::vector<scene::SceneObject*>* pieces = nullptr;
    const std::vector<scene::SceneObject*>* rings = nullptr;
    // What casts into the shadow map: the pieces and the ball.
    const std::vector<scene::SceneObject*>* shadowCasters = nullptr;
    scene::SceneObject* ball = nullptr;
    // The best run's ghost, drawn see-through after everything solid with the
    // ball's shader; null when there is none to show.
    scene::SceneObject* ghost = nullptr;
    scene::Light* lamp = nullptr;
    // Draws the pieces, their lamps and their shadows a kind at a time; when
    // null, each piece draws itself (the same picture with more draw calls).
    scene::PieceBatches* batches = nullptr;
    scene::ParticleRenderer* particles = nullptr;
    ShadowMap* shadowMap = nullptr;
    OffscreenBuffer* offscreen = nullptr;
    TextRenderer* text = nullptr;
    SkyBox* sky = nullptr;
    // The chosen course, written over the start, win and lose pictures.
    const CourseList* courses = nullptr;
    // The small print: the editor's and the course check's lines (bottom
    // left, top line first).
    const std::vector<std::string>* statusLines = nullptr;
    // The open question or field, drawn over everything (see ModalView.h).
    const std::vector<std::string>* modalLines = nullptr;
    // Drawn at fallPoint when showFallMarker is set.
    const scene::FallMarker* fallMarker = nullptr;
    bool showFallMarker = false;
    glm::vec3 fallPoint{0.0f};

    const ShaderProgram* skyShader = nullptr;
    const ShaderProgram* ballShader = nullptr;  // lit, shadow-receiving
    const ShaderProgram* ringShader = nullptr;  // also draws the lamps
    const ShaderProgram* pieceShader = nullptr; // normal-mapped, shadow-receiving
    const ShaderProgram* blurShader = nullptr;  // the glow's Gauss passes
    const ShaderProgram* composeShader = nullptr;

    glm::mat4 projection{1.0f};
    glm::mat4 view{1.0f};
    const ViewFrustum* frustum = nullptr;
    glm::vec2 lampOffset{0.0f}; // the orbiting light's x and z offset
    int width = 0;              // the window's framebuffer
    int height = 0;

    // The editor shows the scene whatever the race's state.
    bool editMode = false;
    bool wireframe = false;
    bool culling = false;
    bool particleBlending = true;
    bool showFrameRate = false;
    double bestTime = 0.0;  // milliseconds
    double deltaTime = 0.0; // seconds, for the frame-rate line
    int culledCount = 0;    // of the previous scene frame, for the HUD
    // A message for the player, on the HUD and over the pictures; null or
    // empty for none.
    const std::string* notice = nullptr;
    // The chosen course's medals over the pictures (the medal earned on the
    // win and lose screens), and the author time whose medals the race clock
    // shows (none: no medal line).
    const MedalScreen* medals = nullptr;
    std::optional<double> raceAuthor;
};

// Draws one frame into the whole window (clearing it first unless the
// composition covers it). Returns the rings and pieces left out of a scene
// frame, or the given previous count for a picture frame.
int drawFrame(const FrameInputs& frame);
// The controls' part of a frame: the display toggles, the course's times
// and medals, the notice and the course check's fall marker.
void takeControls(const Controls& controls, FrameInputs& frame);

// The start screen (its picture, the chosen course's lines and the notice)
// from the pictures alone, as drawFrame draws it before a race: set-up shows
// it while the rest of the scene is still being made.
void drawStartScreen(RacePictures& pictures, const FrameInputs& frame);

// The frame of the game's own scene (the process-wide references).
void drawFrame();

} // namespace tovi
