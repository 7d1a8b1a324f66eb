#pragma once

#include <string>
#include <vector>

struct GLFWwindow;

namespace tovi {
struct PlayerOptions;

// Creates every long-lived object in the game's order, owned by one scene
// object; the process-wide references point into it. The start screen is
// made first and presented at once (the first frame), the rest after it.
void setupScene(GLFWwindow* window);
// The plain pictures setupScene reads, in the order it needs them: what is
// worth decoding ahead while the window opens (see PicturePrefetch).
std::vector<std::string> setupPictures();
// The framebuffer (pixels) or the window (screen coordinates) changed size:
// the off-screen targets, the viewport, the camera's aspect ratio, the
// culling frustum, the pictures, the text and the cursor's centre follow.
// Sides of 0 (a minimised window) are let through; nothing is drawn then.
void resizeScene(int framebufferWidth, int framebufferHeight, int windowWidth, int windowHeight);
// Releases them again, while the context is still current.
void teardownScene();
// The frame update on the process-wide objects.
void updateFrame();
// The window went out of sight (hidden true) or came back: the race pauses
// and the sounds stand silent meanwhile.
void sceneHidden(bool hidden);

// The options' way into the scene: the sound's volume (0 to 10) and mute,
// and the controls' mouse speed, inverted y and pad dead zone.
void sceneSound(int& volume, bool& muted);
void setSceneSound(int volume, bool muted);
void applyControlOptions(const PlayerOptions& options);

} // namespace tovi
