#pragma once
// How the pieces of the track kit join. Every piece fills one 4 x 4 cell of
// the course grid: the ball enters at the piece's local (2, drop/2, 0)
// travelling towards -x and leaves drop/2 below the origin at the far edge
// (straight, ramp) or at the left (+z) or right (-z) edge (the curves). So any
// exit meets any entry when pieces sit on whole cells and half-unit heights,
// turned by quarter turns about y. tools/gen_kit.py builds the pieces to these
// numbers and tools/gen_course.py chains them the same way.
#include "physics/RaceStart.h"

#include <glm/glm.hpp>

#include <string>

namespace tovi {

constexpr float kCellSize = 4.0f;
constexpr float kHeightStep = 0.5f;
// The course grid runs through the origin of the first piece under the race
// start (the ball's start less its radius along the slope).
constexpr float kGridOriginX = -0.88f;
constexpr float kGridOriginY = 65.44f;
constexpr float kGridOriginZ = 21.2f;

// Whether kind is one of "ramp", "straight", "left", "right".
bool isKitPiece(const std::string& kind);

// A turn of quarter * 90 degrees about y (a left turn per quarter), with
// exact zeros and ones.
glm::mat4 quarterTurn(int quarter);
// The turn about y of the matrix's own x axis, degrees in [0, 360).
float turnAboutY(const glm::mat4& model);
// The number of quarter turns (0 to 3) nearest to turnAboutY.
int nearestQuarter(const glm::mat4& model);

// Where a kit piece placed by model leaves: the world point and the heading
// in quarter turns. False for a kind outside the kit.
bool pieceExit(const std::string& kind, const glm::mat4& model, glm::vec3& point, int& quarter);
// The placement of a kit piece whose entry lies at point, heading quarter.
glm::mat4 placeAtEntry(const std::string& kind, const glm::vec3& point, int quarter);
// A piece of kind joined to the exit of the previous piece: its entry on the
// previous exit, turned to the nearest quarter of the previous heading.
// False (out untouched) when either kind is outside the kit.
bool joinedPlacement(const std::string& previousKind, const glm::mat4& previous, const std::string& kind,
                     glm::mat4& out);
// Where a practice run from a kit piece puts the ball: just inside its entry,
// as high above the floor as the race start is above the first piece, moving
// down along the piece at the race start's speed. False for a kind outside
// the kit.
bool practiceStart(const std::string& kind, const glm::mat4& model, glm::vec3& position, glm::vec3& velocity);
// The first piece of a course: under the race start, heading -x (on the grid
// when the start lies on it, as kDefaultRaceStart does).
glm::mat4 firstPlacement(const glm::vec3& start = kDefaultRaceStart);

// The matrix moved to the nearest cell and half-unit height of the grid and
// turned to the nearest quarter turn about y; its scale along its own axes
// is kept, any tilt goes.
glm::mat4 snapToGrid(const glm::mat4& model);

} // namespace tovi
