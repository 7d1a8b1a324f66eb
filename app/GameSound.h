#pragma once
#include "audio/SoundDevice.h"
#include "core/sound/SoundMixer.h"

#include <glm/glm.hpp>

#include <iosfwd>

namespace tovi {
class InputSource;
class MyCollision;
class PhysicsWorld;
class Settings;

// The game's sound: the device with every sound loaded, the mixer with the
// player's volume, and the M / minus / plus keys, which save the choice.
class GameSound {
  public:
    GameSound(InputSource& input, Settings& settings, std::ostream& log);

    // Once a frame, after the frame update: the keys, then what the ball and
    // the race sound like from the camera (view) this frame.
    void update(const MyCollision& race, const PhysicsWorld& physics, const glm::mat4& view, double dt,
                bool paused);

    // The volume (0 to 10) and mute as the options show and set them; a
    // change is kept in the settings.
    int volume() const { return mixer.volume(); }
    bool muted() const { return mixer.muted(); }
    void setSound(int volume, bool muted);
    // Silent while the window is minimised or hidden.
    void standSilent(bool silent) { device.standSilent(silent); }

  private:
    void keep();

    InputSource& input;
    Settings& settings;
    std::ostream& log;
    SoundMixer mixer;
    SoundKeys keys;
    SoundDevice device;
};

} // namespace tovi
