#include "audio/SoundDevice.h"

#include "core/media/SoundFile.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <array>
#include <ostream>

namespace tovi {

namespace {

// The camera sits about this far from the ball: the ball's sounds are at full
// level there and fade as an editing camera flies away.
constexpr float kBallReferenceDistance = 8.0f;
constexpr float kMaxDistance = 100.0f;
constexpr int kShotSources = 8;

void placeAtBall(ALuint source, const glm::vec3& ball) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(source, AL_POSITION, ball.x, ball.y, ball.z);
    alSourcef(source, AL_REFERENCE_DISTANCE, kBallReferenceDistance);
    alSourcef(source, AL_MAX_DISTANCE, kMaxDistance);
}

void placeAtListener(ALuint source) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
}

} // namespace

struct SoundDevice::State {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    std::array<ALuint, kSoundCount> buffers{};
    std::array<bool, kSoundCount> loaded{};
    ALuint roll = 0;
    ALuint wind = 0;
    ALuint jingle = 0;
    std::array<ALuint, kShotSources> shots{};
    size_t nextShot = 0;

    ALuint buffer(Sound s) const { return buffers[static_cast<size_t>(s)]; }
    bool has(Sound s) const { return loaded[static_cast<size_t>(s)]; }

    ~State() {
        if (context == nullptr) {
            if (device != nullptr)
                alcCloseDevice(device);
            return;
        }
        const ALuint loops[] = {roll, wind, jingle};
        alSourceStopv(3, loops);
        alSourceStopv(kShotSources, shots.data());
        alDeleteSources(3, loops);
        alDeleteSources(kShotSources, shots.data());
        alDeleteBuffers(kSoundCount, buffers.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
    }
};

SoundDevice::SoundDevice(const std::string& soundsDir, std::ostream& log, const char* deviceName) {
    auto s = std::make_unique<State>();
    s->device = alcOpenDevice(deviceName);
    if (s->device == nullptr) {
        log << "No sound device: playing without sound" << std::endl;
        return;
    }
    s->context = alcCreateContext(s->device, nullptr);
    if (s->context == nullptr || alcMakeContextCurrent(s->context) == ALC_FALSE) {
        log << "The sound device cannot be used: playing without sound" << std::endl;
        if (s->context != nullptr)
            alcDestroyContext(s->context);
        s->context = nullptr;
        return;
    }
    alGetError();
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    // The listener rides with the ball: no Doppler shift from the camera's swings.
    alDopplerFactor(0.0f);

    alGenBuffers(kSoundCount, s->buffers.data());
    for (int i = 0; i < kSoundCount; ++i) {
        DecodedSound sound;
        std::string path;
        std::string error;
        if (!readSound(soundsDir + soundBaseName(static_cast<Sound>(i)), sound, path, error)) {
            log << "Sound " << path << ": " << error << "; it stays silent" << std::endl;
            continue;
        }
        alBufferData(s->buffers[static_cast<size_t>(i)],
                     sound.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, sound.samples.data(),
                     static_cast<ALsizei>(sound.samples.size() * sizeof(int16_t)), sound.rate);
        s->loaded[static_cast<size_t>(i)] = alGetError() == AL_NO_ERROR;
    }

    alGenSources(1, &s->roll);
    alGenSources(1, &s->wind);
    alGenSources(1, &s->jingle);
    alGenSources(kShotSources, s->shots.data());
    // The sounds are pitched up and down all the time: the best resampler the
    // library has keeps that free of mirror tones (the last is the best).
    if (alIsExtensionPresent("AL_SOFT_source_resampler")) {
        const ALint best = alGetInteger(AL_NUM_RESAMPLERS_SOFT) - 1;
        for (ALuint source : {s->roll, s->wind, s->jingle})
            alSourcei(source, AL_SOURCE_RESAMPLER_SOFT, best);
        for (ALuint source : s->shots)
            alSourcei(source, AL_SOURCE_RESAMPLER_SOFT, best);
    }
    placeAtBall(s->roll, glm::vec3(0.0f));
    placeAtListener(s->wind);
    placeAtListener(s->jingle);
    // The loops play from the start, silent until the race gives them a level.
    for (auto [source, sound] : {std::pair{s->roll, Sound::Roll}, std::pair{s->wind, Sound::Wind}}) {
        if (!s->has(sound))
            continue;
        alSourcei(source, AL_BUFFER, static_cast<ALint>(s->buffer(sound)));
        alSourcei(source, AL_LOOPING, AL_TRUE);
        alSourcef(source, AL_GAIN, 0.0f);
        alSourcePlay(source);
    }
    if (alGetError() != AL_NO_ERROR) {
        log << "The sound device failed while setting up: playing without sound" << std::endl;
        return; // the state's destructor releases what was made
    }
    state = std::move(s);
}

SoundDevice::~SoundDevice() = default;

void SoundDevice::standSilent(bool quiet) {
    silent = quiet;
    if (state)
        alListenerf(AL_GAIN, silent ? 0.0f : master);
}

void SoundDevice::play(const SoundMix& mix, const SoundPlace& place) {
    if (!state)
        return;
    State& s = *state;
    master = mix.master;
    alListenerf(AL_GAIN, silent ? 0.0f : master);
    alListener3f(AL_POSITION, place.eye.x, place.eye.y, place.eye.z);
    const ALfloat orientation[] = {place.forward.x, place.forward.y, place.forward.z,
                                   place.up.x,      place.up.y,      place.up.z};
    alListenerfv(AL_ORIENTATION, orientation);

    alSource3f(s.roll, AL_POSITION, place.ball.x, place.ball.y, place.ball.z);
    alSourcef(s.roll, AL_GAIN, mix.rollGain);
    alSourcef(s.roll, AL_PITCH, mix.rollPitch);
    alSourcef(s.wind, AL_GAIN, mix.windGain);
    alSourcef(s.wind, AL_PITCH, mix.windPitch);

    if (mix.stopJingles)
        alSourceStop(s.jingle);
    for (int i = 0; i < mix.shotCount; ++i) {
        const OneShot& shot = mix.shots[static_cast<size_t>(i)];
        if (!s.has(shot.sound))
            continue;
        ALuint source = s.jingle;
        if (shot.sound != Sound::Win && shot.sound != Sound::Lose) {
            // A free source, or else the one that started longest ago.
            for (int tries = 0; tries < kShotSources; ++tries) {
                ALint playing = 0;
                alGetSourcei(s.shots[s.nextShot], AL_SOURCE_STATE, &playing);
                if (playing != AL_PLAYING)
                    break;
                s.nextShot = (s.nextShot + 1) % kShotSources;
            }
            source = s.shots[s.nextShot];
            s.nextShot = (s.nextShot + 1) % kShotSources;
            if (shot.sound == Sound::Knock)
                placeAtBall(source, place.ball);
            else
                placeAtListener(source);
        }
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(s.buffer(shot.sound)));
        alSourcef(source, AL_GAIN, shot.gain);
        alSourcef(source, AL_PITCH, shot.pitch);
        alSourcePlay(source);
    }
}

} // namespace tovi
