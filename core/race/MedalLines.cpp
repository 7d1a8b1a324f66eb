#include "core/race/MedalLines.h"

#include "core/view/HudText.h"

#include <cmath>

namespace tovi {

namespace {

// Writes pieces left to right along one line.
class LineWriter {
  public:
    LineWriter(std::vector<TextPiece>& out, float x, float y, float size)
        : out(out), x(x), y(y), size(size) {}
    LineWriter& text(const std::string& text, const glm::vec3& colour = glm::vec3(1.0f)) {
        out.push_back({x, y, size, text, colour});
        x += size * static_cast<float>(text.size());
        return *this;
    }
    LineWriter& disc(Medal medal) { return text(std::string(1, kMedalDisc), medalColour(medal)); }

  private:
    std::vector<TextPiece>& out;
    float x;
    float y;
    float size;
};

std::string wholeSeconds(double ms) {
    return std::to_string(static_cast<long long>(std::floor(ms / 1000.0)));
}

} // namespace

glm::vec3 medalColour(Medal medal) {
    switch (medal) {
    case Medal::Author:
        return {0.3f, 0.95f, 0.55f};
    case Medal::Gold:
        return {1.0f, 0.8f, 0.15f};
    case Medal::Silver:
        return {0.8f, 0.84f, 0.9f};
    case Medal::Bronze:
        return {0.85f, 0.5f, 0.25f};
    case Medal::None:
        break;
    }
    return {0.45f, 0.45f, 0.5f};
}

void medalScreenPieces(const MedalScreen& screen, std::vector<TextPiece>& out) {
    constexpr float kLeft = static_cast<float>(kHudLineLeft);
    constexpr float kGlyph = static_cast<float>(kHudGlyphSize);
    LineWriter times(out, kLeft, 243.0f, kGlyph);
    if (screen.author) {
        const MedalTimes t = medalTimes(*screen.author);
        times.disc(Medal::Gold).text(wholeSeconds(t.gold) + " ");
        times.disc(Medal::Silver).text(wholeSeconds(t.silver) + " ");
        times.disc(Medal::Bronze).text(wholeSeconds(t.bronze) + " ");
        times.disc(Medal::Author).text(secondsText(t.author));
    } else {
        times.text("No author time: no medals");
    }
    LineWriter mine(out, kLeft, 219.0f, kGlyph);
    if (screen.myBest > 0.0)
        mine.text("You " + secondsText(screen.myBest) + " ").disc(screen.myMedal);
    else
        mine.text("You: no finish");
    LineWriter(out, kLeft, 195.0f, kGlyph)
        .text("Medals " + std::to_string(screen.won) + "/" + std::to_string(screen.total));
    if (!screen.finished)
        return;
    constexpr float kBig = 30.0f;
    const std::string time = secondsText(screen.finishTime) + " s";
    if (screen.earned == Medal::None) {
        LineWriter(out, kLeft, 272.0f, kBig).text("No medal: " + time);
    } else {
        std::string name = medalName(screen.earned);
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        LineWriter(out, kLeft, 272.0f, kBig).disc(screen.earned).text(" " + name + " medal: " + time);
    }
}

void raceMedalPieces(std::optional<double> author, double raceTime, std::vector<TextPiece>& out) {
    if (!author)
        return;
    const MedalTimes t = medalTimes(*author);
    const Medal next = medalFor(raceTime, t);
    // Beside the clock's eight characters, one glyph apart.
    LineWriter line(out, static_cast<float>(kHudLineLeft + 9 * kHudGlyphSize), 575.0f,
                    static_cast<float>(kHudGlyphSize));
    if (next == Medal::None) {
        line.text("no medal", medalColour(Medal::None));
        return;
    }
    line.disc(next).text(" " + (next == Medal::Author ? secondsText(t.author) : wholeSeconds(t.of(next))));
}

} // namespace tovi
