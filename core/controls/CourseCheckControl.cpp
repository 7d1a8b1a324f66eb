#include "core/controls/CourseCheckControl.h"

#include "core/mesh/SceneObject.h"

#include <iostream>

namespace tovi {

void CourseCheckControl::start(const std::vector<scene::SceneObject*>& tracks,
                               const std::vector<scene::SceneObject*>& rings, const glm::vec3& raceStart,
                               const std::string& objectsDir) {
    if (runner.running())
        return;
    BotCourse course;
    course.start = raceStart;
    for (scene::SceneObject* object : tracks)
        if (const auto* piece = dynamic_cast<const scene::TrackBase*>(object))
            course.pieces.push_back({piece->pieceName, piece->modelMatrix});
    for (scene::SceneObject* ring : rings)
        course.rings.push_back(glm::vec3(ring->modelMatrix[3]));
    if (runner.start(std::move(course), objectsDir)) {
        showFallMarker = false;
        line = "Course check: running";
    }
}

void CourseCheckControl::follow() {
    if (runner.running())
        line = progressLine(runner.progress());
    CheckVerdict verdict;
    if (!runner.takeVerdict(verdict) || verdict.cancelled)
        return;
    line = verdictLine(verdict);
    std::cout << line << std::endl;
    showFallMarker = verdict.fell;
    fallMarker = verdict.fallPoint;
}

void CourseCheckControl::forget() {
    runner.stop();
    line.clear();
    showFallMarker = false;
}

} // namespace tovi
