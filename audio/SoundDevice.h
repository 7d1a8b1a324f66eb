#pragma once
#include "core/sound/SoundMixer.h"

#include <glm/glm.hpp>

#include <iosfwd>
#include <memory>
#include <string>

namespace tovi {

// Where the sound is heard from and where the ball rolls.
struct SoundPlace {
    glm::vec3 eye{0.0f};
    glm::vec3 forward{0.0f, 0.0f, -1.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    glm::vec3 ball{0.0f};
};

// The game's sound output through OpenAL: every sound is loaded when it is
// made, so a frame only sets levels, positions and starts sources. Without a
// sound device it says so once and plays nothing; a sound file that cannot be
// read is reported and stays silent.
class SoundDevice {
  public:
    // soundsDir ends in '/'. deviceName null opens the default device.
    SoundDevice(const std::string& soundsDir, std::ostream& log, const char* deviceName = nullptr);
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // A device is open and playing.
    bool active() const { return state != nullptr; }

    // Once a frame: the listener at the camera, the rolling and knocking at
    // the ball, the loops' levels and the frame's one-shots.
    void play(const SoundMix& mix, const SoundPlace& place);
    // While the window is minimised or hidden every sound stands silent
    // (the frames that set the levels stop coming); false sounds again.
    void standSilent(bool silent);

  private:
    struct State; // the OpenAL device, context, buffers and sources
    std::unique_ptr<State> state;
    bool silent = false;
    float master = 1.0f;
};

} // namespace tovi
