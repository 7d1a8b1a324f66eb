#pragma once

struct GLFWwindow;

namespace tovi {

// Creates every long-lived object in the game's order, owned by one scene
// object; the process-wide references point into it.
void setupScene(GLFWwindow* window);
// Releases them again, while the context is still current.
void teardownScene();
// The frame update on the process-wide objects.
void updateFrame();

} // namespace tovi
