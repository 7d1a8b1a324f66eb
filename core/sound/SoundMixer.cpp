#include "core/sound/SoundMixer.h"

#include "core/input/Input.h"
#include "core/input/Keys.h"
#include "core/player/Settings.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tovi {

namespace {

// Levels of the one-shots against the loops at full speed.
constexpr float kChimeGain = 0.8f;
constexpr float kJingleGain = 0.9f;
constexpr float kWindTopGain = 0.55f;

// A major pentatonic scale counted down from the last ring's note, in
// semitones: C6 A5 G5 E5 D5 C5 A4 G4 E4 D4 C4.
constexpr int kStepsBelowTop[] = {0, 3, 5, 8, 10, 12, 15, 17, 20, 22, 24};
constexpr int kLowestStep = static_cast<int>(sizeof(kStepsBelowTop) / sizeof(kStepsBelowTop[0])) - 1;

float semitones(int n) {
    return std::pow(2.0f, static_cast<float>(n) / 12.0f);
}

// Moves value towards target as a first-order lag with time constant tau.
float approach(float value, float target, double dt, double tau) {
    const double k = 1.0 - std::exp(-std::max(dt, 0.0) / tau);
    return value + (target - value) * static_cast<float>(k);
}

float unit(float x) {
    return std::clamp(x, 0.0f, 1.0f);
}

} // namespace

const char* soundBaseName(Sound sound) {
    static const char* const names[kSoundCount] = {"roll", "wind", "chime", "knock", "win", "lose"};
    return names[static_cast<int>(sound)];
}

SoundMixer::SoundMixer(int volume, bool muted) : level(std::clamp(volume, 0, kMaxVolume)), isMuted(muted) {
    mix.master = masterGain();
}

void SoundMixer::volumeUp() {
    level = std::min(level + 1, kMaxVolume);
    isMuted = false;
}

void SoundMixer::volumeDown() {
    level = std::max(level - 1, 0);
    isMuted = false;
}

float SoundMixer::masterGain() const {
    if (isMuted)
        return 0.0f;
    const float v = static_cast<float>(level) / static_cast<float>(kMaxVolume);
    return v * v;
}

float SoundMixer::chimePitch(int index, int count) {
    const int below = std::clamp(count - 1 - index, 0, kLowestStep);
    return semitones(-kStepsBelowTop[below]);
}

void SoundMixer::shot(Sound sound, float gain, float pitch) {
    if (mix.shotCount < SoundMix::kMaxShots)
        mix.shots[static_cast<size_t>(mix.shotCount++)] = {sound, gain, pitch};
}

const SoundMix& SoundMixer::update(const SoundFrame& f) {
    mix.shotCount = 0;
    mix.stopJingles = false;
    mix.master = masterGain();

    // A race (re)starts: from a screen, or N in the middle of one (the ball
    // jumps back and the rings count from zero again).
    const bool restarted = (f.racing && !lastRacing) || f.ringsPassed < lastRings;
    if (restarted)
        mix.stopJingles = true;
    if (f.won && !lastWon)
        shot(Sound::Win, kJingleGain, 1.0f);
    if (f.lost && !lastLost)
        shot(Sound::Lose, kJingleGain, 1.0f);

    const bool live = f.racing && !f.paused;
    if (live && !restarted) {
        for (int ring = lastRings; ring < f.ringsPassed; ++ring) {
            const float pitch = chimePitch(ring, f.ringCount);
            shot(Sound::Chime, kChimeGain, pitch);
            if (ring == f.ringCount - 1) {
                // The last ring rings a whole chord: its note with the fifth
                // and the third below.
                shot(Sound::Chime, 0.6f * kChimeGain, pitch * semitones(-5));
                shot(Sound::Chime, 0.5f * kChimeGain, pitch * semitones(-8));
            }
        }
        sinceKnock += f.dt;
        const float gained = f.verticalSpeed - lastVerticalSpeed;
        if (!lastTouching && gained >= kKnockSpeed && sinceKnock >= kKnockGap) {
            const float hardness = unit((gained - kKnockSpeed) / (kKnockFullSpeed - kKnockSpeed));
            shot(Sound::Knock, 0.35f + 0.65f * hardness, 1.05f - 0.15f * hardness);
            sinceKnock = 0.0;
        }
        airTime = f.touching ? 0.0 : airTime + f.dt;
    } else {
        airTime = 0.0;
    }

    float rollTarget = 0.0f;
    float windTarget = 0.0f;
    if (live) {
        if (airTime <= kAirGrace && f.speed > kRollMinSpeed)
            rollTarget = std::pow(unit(f.speed / kRollFullSpeed), 0.7f);
        windTarget = kWindTopGain * unit((f.speed - kWindStartSpeed) / (kWindFullSpeed - kWindStartSpeed));
    }
    // Quick to rise, a little slower to fall, so a hop fades rather than cuts.
    mix.rollGain = approach(mix.rollGain, rollTarget, f.dt, rollTarget > mix.rollGain ? 0.04 : 0.1);
    mix.windGain = approach(mix.windGain, windTarget, f.dt, 0.3);
    mix.rollPitch = std::clamp(0.75f + 0.08f * f.speed, 0.75f, 1.5f);
    mix.windPitch = std::clamp(0.8f + 0.05f * f.speed, 0.8f, 1.3f);

    lastRacing = f.racing;
    lastWon = f.won;
    lastLost = f.lost;
    lastRings = f.ringsPassed;
    lastTouching = f.touching;
    lastVerticalSpeed = f.verticalSpeed;
    return mix;
}

SoundMixer mixerFromSettings(const Settings& settings) {
    return SoundMixer(settings.getInt("volume", SoundMixer::kDefaultVolume, 0, SoundMixer::kMaxVolume),
                      settings.getInt("muted", 0, 0, 1) == 1);
}

void storeSoundSettings(const SoundMixer& mixer, Settings& settings) {
    settings.set("volume", std::to_string(mixer.volume()));
    settings.set("muted", mixer.muted() ? "1" : "0");
}

bool SoundKeys::update(InputSource& input, SoundMixer& mixer) {
    auto pressed = [&](int key, bool& held) {
        const bool down = input.keyPressed(key);
        const bool press = down && !held;
        held = down;
        return press;
    };
    bool changed = false;
    if (pressed(key::M, heldMute)) {
        mixer.toggleMute();
        changed = true;
    }
    if (pressed(key::Minus, heldDown)) {
        mixer.volumeDown();
        changed = true;
    }
    if (pressed(key::Equal, heldUp)) {
        mixer.volumeUp();
        changed = true;
    }
    return changed;
}

} // namespace tovi
