#pragma once
// The medals of the course being played: its author time and the layout it
// belongs to, who may set it, and what a finish earns, kept in the player's
// progress.
//
// The author time is the best time the course's designer finished it in. Only
// a counted finish (no edits during the run, nothing unsaved) on a layout the
// player saved from the editor sets or lowers it; the course check's bot never
// does. Any change of pieces or rings leaves the course without one until the
// designer finishes it again.
#include "core/course/Medals.h"
#include "core/race/MedalLines.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tovi {
class Progress;

class CourseMedals {
  public:
    // progress may be null: then nothing is kept between runs of the game.
    explicit CourseMedals(Progress* progress);

    // A course was loaded from file (its name in the player's progress, e.g.
    // "2.track") with this author time and layout (fingerprint).
    void courseLoaded(const std::string& file, std::optional<double> author, std::uint64_t layout);
    // The author time while the level is this layout, else none.
    std::optional<double> author(std::uint64_t layout) const;
    // The player's saved layout of this course, so its counted finishes set
    // the author time. The course's first save of a changed layout makes the
    // player its designer; saving a course as loaded does not.
    void editorSaved(std::uint64_t layout, std::ostream& log);

    struct Finish {
        double time = 0.0;
        Medal earned = Medal::None;
        bool authorSet = false; // the finish set or lowered the author time
    };
    // A race finished in time (milliseconds) on layout; counted: the run
    // had no edits in it. Records the player's best time and medal.
    Finish finished(double time, bool counted, std::uint64_t layout, std::ostream& log);
    // The last finish on this course since it was loaded, if any.
    const std::optional<Finish>& lastFinish() const { return last; }
    // Whether the level as it is (layout) is one the player designed, so a
    // clean finish would set its author time.
    bool designedByPlayer(std::uint64_t layout) const;

    // What the start, win and lose screens show about this course, with the
    // progress line over these listed course files.
    MedalScreen screen(std::uint64_t layout, const std::vector<std::string>& listed) const;

  private:
    Progress* progress;
    std::string file;
    std::optional<double> authorTime;
    std::uint64_t authorLayout = 0;
    // The layout as loaded or as last saved from the editor.
    std::uint64_t savedLayout = 0;
    std::optional<Finish> last;
};

} // namespace tovi
