#pragma once
// The medal lines the screens show, as pieces of text in their colours: a
// medal is a small disc (the font's code 127) tinted in the medal's colour.
// No GL here; the frame draws the pieces with the HUD's text.
#include "core/course/Medals.h"

#include <glm/glm.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tovi {

constexpr char kMedalDisc = '\x7f';

glm::vec3 medalColour(Medal medal);

// One piece of a line: its text from x (left edge) at y (bottom edge), in the
// 800 x 600 text space, glyphs of size.
struct TextPiece {
    float x = 0.0f;
    float y = 0.0f;
    float size = 20.0f;
    std::string text;
    glm::vec3 colour{1.0f};
};

// What the start, win and lose screens know about the chosen course's medals.
struct MedalScreen {
    std::optional<double> author; // the course's author time, when it has one
    double myBest = 0.0;          // the player's best finish, 0: none yet
    Medal myMedal = Medal::None;
    int won = 0;   // medals won over every listed course
    int total = 0; // medals there are to win over them
    // On the win and lose screens: the finish just driven and what it earned.
    bool finished = false;
    double finishTime = 0.0;
    Medal earned = Medal::None;
};

// Appends the lines above the course's lines on a picture screen, left of
// the pictures' key panels: the medal times, the player's best and medal,
// the medals won, and after a finish the medal earned (bigger, on top).
void medalScreenPieces(const MedalScreen& screen, std::vector<TextPiece>& out);

// In a race, beside the clock: the best medal still to be had (disc and
// time), or "no medal" once bronze has passed; nothing without an author
// time.
void raceMedalPieces(std::optional<double> author, double raceTime, std::vector<TextPiece>& out);

} // namespace tovi
