#include "core/editor/PieceJoin.h"

#include <cmath>

namespace tovi {

namespace {

constexpr float kHalfCell = kCellSize / 2.0f;

// Height a piece loses from entry to exit.
float dropOf(const std::string& kind) {
    return kind == "ramp" ? 4.5f : 3.5f;
}

glm::vec3 entryLocal(const std::string& kind) {
    return {kHalfCell, dropOf(kind) / 2.0f, 0.0f};
}

// The exit in the piece's own frame and the heading change in quarters.
glm::vec3 exitLocal(const std::string& kind, int& turn) {
    const float y = -dropOf(kind) / 2.0f;
    if (kind == "left") {
        turn = 1;
        return {0.0f, y, kHalfCell};
    }
    if (kind == "right") {
        turn = -1;
        return {0.0f, y, -kHalfCell};
    }
    turn = 0;
    return {-kHalfCell, y, 0.0f};
}

float snapped(float value, float origin, float step) {
    return origin + step * std::round((value - origin) / step);
}

} // namespace

bool isKitPiece(const std::string& kind) {
    return kind == "ramp" || kind == "straight" || kind == "left" || kind == "right";
}

glm::mat4 quarterTurn(int quarter) {
    static const int kCos[4] = {1, 0, -1, 0};
    static const int kSin[4] = {0, 1, 0, -1};
    const int q = ((quarter % 4) + 4) % 4;
    const auto c = static_cast<float>(kCos[q]);
    const auto s = static_cast<float>(kSin[q]);
    glm::mat4 m(1.0f);
    // Columns: the turned x, y and z axes (a turn about y by q * 90 degrees).
    m[0] = glm::vec4(c, 0.0f, -s, 0.0f);
    m[2] = glm::vec4(s, 0.0f, c, 0.0f);
    return m;
}

float turnAboutY(const glm::mat4& model) {
    const glm::vec3 x(model[0]);
    double radians = 0.0;
    if (std::hypot(x.x, x.z) > 1e-4f) {
        radians = std::atan2(-static_cast<double>(x.z), static_cast<double>(x.x));
    } else {
        // The own x axis stands upright: the own z axis tells the turn.
        const glm::vec3 z(model[2]);
        radians = std::atan2(static_cast<double>(z.x), static_cast<double>(z.z));
    }
    double degrees = radians * 180.0 / 3.14159265358979323846;
    if (!std::isfinite(degrees))
        return 0.0f;
    degrees = std::fmod(degrees, 360.0);
    if (degrees <= 0.0)
        degrees += 360.0; // also turns -0 into 0 below
    return degrees >= 359.9995 ? 0.0f : static_cast<float>(degrees);
}

int nearestQuarter(const glm::mat4& model) {
    return static_cast<int>(std::lround(turnAboutY(model) / 90.0f)) % 4;
}

bool pieceExit(const std::string& kind, const glm::mat4& model, glm::vec3& point, int& quarter) {
    if (!isKitPiece(kind))
        return false;
    int turn = 0;
    point = glm::vec3(model * glm::vec4(exitLocal(kind, turn), 1.0f));
    quarter = (nearestQuarter(model) + turn + 4) % 4;
    return true;
}

glm::mat4 placeAtEntry(const std::string& kind, const glm::vec3& point, int quarter) {
    glm::mat4 m = quarterTurn(quarter);
    m[3] = glm::vec4(point - glm::vec3(m * glm::vec4(entryLocal(kind), 0.0f)), 1.0f);
    return m;
}

bool joinedPlacement(const std::string& previousKind, const glm::mat4& previous, const std::string& kind,
                     glm::mat4& out) {
    glm::vec3 point(0.0f);
    int quarter = 0;
    if (!isKitPiece(kind) || !pieceExit(previousKind, previous, point, quarter))
        return false;
    out = placeAtEntry(kind, point, quarter);
    return true;
}

bool practiceStart(const std::string& kind, const glm::mat4& model, glm::vec3& position,
                   glm::vec3& velocity) {
    if (!isKitPiece(kind))
        return false;
    // The floor falls evenly from the entry (drop / 2 at local x 2) towards
    // -x; a quarter of a cell in from the edge.
    const float slope = dropOf(kind) / kCellSize;
    const float x = kHalfCell - kCellSize / 16.0f;
    const glm::vec3 aboveFloor = kDefaultRaceStart - glm::vec3(kGridOriginX, kGridOriginY, kGridOriginZ);
    position = glm::vec3(model * glm::vec4(x, x * slope, 0.0f, 1.0f)) + aboveFloor;
    const glm::vec3 down = glm::mat3(model) * glm::vec3(-1.0f, -slope, 0.0f);
    const float length = glm::length(down);
    if (!(length > 1e-6f) || !std::isfinite(length) || !std::isfinite(position.x) ||
        !std::isfinite(position.y) || !std::isfinite(position.z))
        return false;
    velocity = down / length;
    return true;
}

glm::mat4 firstPlacement(const glm::vec3& start) {
    glm::mat4 m(1.0f);
    const glm::vec3 moved = start - kDefaultRaceStart; // exactly 0 for the default start
    m[3] = glm::vec4(kGridOriginX + moved.x, kGridOriginY + moved.y, kGridOriginZ + moved.z, 1.0f);
    return m;
}

glm::mat4 snapToGrid(const glm::mat4& model) {
    glm::mat4 m = quarterTurn(nearestQuarter(model));
    for (int axis = 0; axis < 3; ++axis)
        m[axis] *= glm::length(glm::vec3(model[axis]));
    m[3] = glm::vec4(snapped(model[3][0], kGridOriginX, kCellSize),
                     snapped(model[3][1], kGridOriginY, kHeightStep),
                     snapped(model[3][2], kGridOriginZ, kCellSize), 1.0f);
    return m;
}

} // namespace tovi
