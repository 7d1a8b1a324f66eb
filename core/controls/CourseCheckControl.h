#pragma once
#include "core/editor/CourseCheckRunner.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace tovi {
namespace scene {
class SceneObject;
}

// F6: the course check on the level as it stands, its progress and verdict
// line, and where the checked run left the track.
class CourseCheckControl {
  public:
    // Starts checking the pieces and rings from the race start (nothing
    // while a check runs).
    void start(const std::vector<scene::SceneObject*>& tracks, const std::vector<scene::SceneObject*>& rings,
               const glm::vec3& raceStart, const std::string& objectsDir);
    // Once a frame: the progress, and the verdict when it comes.
    void follow();
    // Stops the check and forgets its line and marker (another course).
    void forget();

    // Progress or the last verdict, empty before the first check.
    std::string line;
    // Where the last checked run left the track, when it fell.
    bool showFallMarker = false;
    glm::vec3 fallMarker{0.0f};

  private:
    CourseCheckRunner runner;
};

} // namespace tovi
