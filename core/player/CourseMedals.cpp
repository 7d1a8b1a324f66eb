#include "core/player/CourseMedals.h"

#include "core/player/Progress.h"

#include <cmath>

namespace tovi {

CourseMedals::CourseMedals(Progress* p) : progress(p) {}

void CourseMedals::courseLoaded(const std::string& name, std::optional<double> author, std::uint64_t layout) {
    file = name;
    authorTime = author;
    authorLayout = layout;
    savedLayout = layout;
    last.reset();
}

std::optional<double> CourseMedals::author(std::uint64_t layout) const {
    return layout == authorLayout ? authorTime : std::nullopt;
}

bool CourseMedals::designedByPlayer(std::uint64_t layout) const {
    return progress != nullptr && progress->designedBy(file, layout);
}

void CourseMedals::editorSaved(std::uint64_t layout, std::ostream& log) {
    const bool designer = layout != savedLayout || designedByPlayer(savedLayout);
    savedLayout = layout;
    if (!designer || progress == nullptr || designedByPlayer(layout))
        return;
    progress->setDesignedLayout(file, layout);
    progress->save(log);
}

CourseMedals::Finish CourseMedals::finished(double time, bool counted, std::uint64_t layout,
                                            std::ostream& log) {
    Finish finish;
    finish.time = time;
    const std::optional<double> before = author(layout);
    if (before)
        finish.earned = medalFor(time, medalTimes(*before));
    if (counted && layout == savedLayout && designedByPlayer(layout) && validAuthorTime(std::round(time)) &&
        (!before || std::round(time) < *before)) {
        authorTime = std::round(time);
        authorLayout = layout;
        finish.authorSet = true;
        log << "Author time of " << file << ": " << secondsText(*authorTime) << " s" << std::endl;
    }
    if (progress != nullptr && progress->recordFinish(file, time, finish.earned))
        progress->save(log);
    last = finish;
    return finish;
}

MedalScreen CourseMedals::screen(std::uint64_t layout, const std::vector<std::string>& listed) const {
    MedalScreen out;
    out.author = author(layout);
    if (progress != nullptr) {
        if (const CourseProgress* mine = progress->find(file)) {
            out.myBest = mine->best;
            out.myMedal = mine->medal;
        }
        out.won = progress->medalsWon(listed);
    }
    out.total = kMedalTiers * static_cast<int>(listed.size());
    if (last) {
        out.finished = true;
        out.finishTime = last->time;
        out.earned = last->earned;
    }
    return out;
}

} // namespace tovi
