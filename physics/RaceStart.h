#pragma once
#include <glm/glm.hpp>

namespace tovi {

// Where the race ball appears on a course that does not name its own start:
// over the first piece of every course made before courses could.
inline const glm::vec3 kDefaultRaceStart{-0.88f, 65.8f, 21.2f};

} // namespace tovi
