#pragma once
#include <array>

namespace tovi {
class InputSource;
class Settings;

// The game's sounds, one file each under Kobuldo/Sounds/ (.wav, .ogg or .flac).
enum class Sound { Roll, Wind, Chime, Knock, Win, Lose };
constexpr int kSoundCount = 6;
// "roll", "wind", ... by Sound: the file name without its extension.
const char* soundBaseName(Sound sound);

// What a frame tells the sound: the ball and the race after the frame's step.
struct SoundFrame {
    double dt = 0.0;            // seconds since the last frame
    float speed = 0.0f;         // the ball's speed, units per second
    float verticalSpeed = 0.0f; // the ball's upward speed (negative falling)
    bool touching = false;      // the ball touches a piece or the ground
    // The race's state: racing (also while editing), won or lost; none of
    // them on the start screen.
    bool racing = false;
    bool won = false;
    bool lost = false;
    int ringsPassed = 0; // rings passed in this race
    int ringCount = 0;   // rings on the course
    bool paused = false;
};

// A sound played once. Knocks sit at the ball; the rest play at the listener.
struct OneShot {
    Sound sound = Sound::Chime;
    float gain = 1.0f;
    float pitch = 1.0f;
};

// What the sound device plays after a frame: the two loops' levels, the
// listener's gain (volume and mute) and the frame's one-shots.
struct SoundMix {
    static constexpr int kMaxShots = 8;
    float rollGain = 0.0f;
    float rollPitch = 1.0f;
    float windGain = 0.0f;
    float windPitch = 1.0f;
    float master = 1.0f;
    // A new race began: the win or lose jingle of the last one stops.
    bool stopJingles = false;
    std::array<OneShot, kMaxShots> shots{};
    int shotCount = 0;
};

// Turns the frames' ball and race into loop levels and one-shots, and keeps
// the player's volume and mute. Knows nothing of any sound library.
class SoundMixer {
  public:
    static constexpr int kMaxVolume = 10;
    static constexpr int kDefaultVolume = 8;
    // Below this the ball is too slow to be heard rolling.
    static constexpr float kRollMinSpeed = 0.3f;
    // The loops are at full level from these speeds on (a race on the shipped
    // course mostly runs at 2 to 5 units a second, at most about 8).
    static constexpr float kRollFullSpeed = 8.0f;
    static constexpr float kWindStartSpeed = 2.0f;
    static constexpr float kWindFullSpeed = 9.0f;
    // Out of touch for longer than this the ball is in the air: bumps at the
    // joins between pieces do not cut the rolling sound.
    static constexpr double kAirGrace = 0.12;
    // Upward speed a landing gains (units per second) before it knocks, and
    // where the knock is at full level.
    static constexpr float kKnockSpeed = 2.5f;
    static constexpr float kKnockFullSpeed = 8.0f;
    static constexpr double kKnockGap = 0.15;

    explicit SoundMixer(int volume = kDefaultVolume, bool muted = false);

    // Once a frame, after the race rules. The result holds until the next call.
    const SoundMix& update(const SoundFrame& frame);

    void toggleMute() { isMuted = !isMuted; }
    // A step of the volume; turning it also ends a mute.
    void volumeUp();
    void volumeDown();
    int volume() const { return level; }
    bool muted() const { return isMuted; }
    // The listener's gain: 0 when muted, else the volume squared over 100 (a
    // step is about the same change in loudness over the whole range).
    float masterGain() const;

    // The chime's pitch for ring `index` (0 the first passed) of `count`:
    // rising through a major pentatonic scale to the last ring's 1.0 (the file's
    // own note), at most two octaves down.
    static float chimePitch(int index, int count);

  private:
    void shot(Sound sound, float gain, float pitch);

    int level;
    bool isMuted;
    SoundMix mix;
    bool lastRacing = false;
    bool lastWon = false;
    bool lastLost = false;
    int lastRings = 0;
    bool lastTouching = true;
    float lastVerticalSpeed = 0.0f;
    double airTime = 0.0;
    double sinceKnock = 1.0;
};

// The player's volume and mute, kept as "volume" (0 to 10) and "muted" (0 or
// 1) in the settings; missing or broken values give the defaults.
SoundMixer mixerFromSettings(const Settings& settings);
void storeSoundSettings(const SoundMixer& mixer, Settings& settings);

// M mutes and unmutes, minus and plus (the main keyboard's minus and equals
// keys) turn the volume down and up: one step each time a key goes down.
class SoundKeys {
  public:
    // True when the volume or mute changed.
    bool update(InputSource& input, SoundMixer& mixer);

  private:
    bool heldMute = false;
    bool heldDown = false;
    bool heldUp = false;
};

} // namespace tovi
