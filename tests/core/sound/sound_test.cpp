// The sound's rules without a sound device: loop levels from the ball, the
// chime sequence, knocks, jingles, volume and mute; the sound files; and a
// game without a device.
#include "audio/SoundDevice.h"
#include "core/input/Keys.h"
#include "core/media/SoundFile.h"
#include "core/player/Settings.h"
#include "core/sound/SoundMixer.h"
#include "core/system/FileBytes.h"
#include "tests/core/TestFakes.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tovi;
using namespace tovi::testing;

namespace {

constexpr double kFrame = 1.0 / 15.0;

SoundFrame rolling(float speed) {
    SoundFrame f;
    f.dt = kFrame;
    f.speed = speed;
    f.touching = true;
    f.racing = true;
    f.ringCount = 8;
    return f;
}

// Settles the smoothed levels on one frame's values.
const SoundMix& settle(SoundMixer& mixer, const SoundFrame& f) {
    for (int i = 0; i < 30; ++i)
        mixer.update(f);
    return mixer.update(f);
}

std::vector<OneShot> shots(const SoundMix& mix) {
    return {mix.shots.begin(), mix.shots.begin() + mix.shotCount};
}

} // namespace

TEST(SoundMixer, LoopsFollowTheBallAndOnlyPlayInARace) {
    SoundMixer mixer;
    const SoundMix slow = settle(mixer, rolling(2.0f));
    const SoundMix fast = settle(mixer, rolling(10.0f));
    EXPECT_GT(slow.rollGain, 0.1f);
    EXPECT_GT(fast.rollGain, slow.rollGain + 0.2f);
    EXPECT_GT(fast.rollPitch, slow.rollPitch);
    EXPECT_LE(settle(mixer, rolling(50.0f)).rollGain, 1.0f);
    EXPECT_FLOAT_EQ(slow.windGain, 0.0f) << "no wind at a crawl";
    EXPECT_GT(fast.windGain, 0.1f);
    EXPECT_LT(settle(mixer, rolling(0.1f)).rollGain, 0.01f) << "a ball at rest is silent";

    // One frame out of touch (a bump at a join) keeps the rolling; a jump
    // fades it while the wind goes on.
    settle(mixer, rolling(10.0f));
    SoundFrame air = rolling(10.0f);
    air.touching = false;
    EXPECT_GT(mixer.update(air).rollGain, 0.9f * fast.rollGain);
    const SoundMix flying = settle(mixer, air);
    EXPECT_LT(flying.rollGain, 0.01f);
    EXPECT_GT(flying.windGain, 0.1f);

    for (int screen = 0; screen < 3; ++screen) {
        SoundFrame f = rolling(10.0f);
        f.racing = false;
        f.won = screen == 1;
        f.lost = screen == 2;
        const SoundMix mix = settle(mixer, f);
        EXPECT_LT(mix.rollGain + mix.windGain, 0.01f) << "screen " << screen;
    }
    SoundFrame paused = rolling(10.0f);
    paused.paused = true;
    EXPECT_LT(settle(mixer, paused).rollGain, 0.01f);
}

TEST(SoundMixer, ChimesRiseRingByRingToAChordAtTheLast) {
    SoundMixer mixer;
    SoundFrame f = rolling(5.0f);
    mixer.update(f);
    float lastPitch = 0.0f;
    for (int ring = 1; ring <= 8; ++ring) {
        f.ringsPassed = ring;
        const auto played = shots(mixer.update(f));
        ASSERT_FALSE(played.empty()) << "ring " << ring;
        EXPECT_EQ(played[0].sound, Sound::Chime);
        EXPECT_GT(played[0].pitch, lastPitch) << "ring " << ring;
        lastPitch = played[0].pitch;
        EXPECT_EQ(played.size(), ring == 8 ? 3u : 1u) << "ring " << ring;
        EXPECT_TRUE(shots(mixer.update(f)).empty()) << "a ring chimes once";
    }
    EXPECT_FLOAT_EQ(lastPitch, 1.0f) << "the last ring plays the file's own note";

    // The race ends the frame after: one win jingle. Enter starts another
    // race: the jingle stops and the rings chime from the bottom again.
    f.racing = false;
    f.won = true;
    auto played = shots(mixer.update(f));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].sound, Sound::Win);
    EXPECT_TRUE(shots(mixer.update(f)).empty());
    f = rolling(5.0f);
    EXPECT_TRUE(mixer.update(f).stopJingles);
    f.ringsPassed = 1;
    played = shots(mixer.update(f));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_FLOAT_EQ(played[0].pitch, SoundMixer::chimePitch(0, 8));

    // Several rings in one frame each chime; a long course bottoms out two
    // octaves down; N mid-race restarts the sequence.
    f.ringsPassed = 3;
    EXPECT_EQ(shots(mixer.update(f)).size(), 2u);
    EXPECT_FLOAT_EQ(SoundMixer::chimePitch(0, 40), 0.25f);
    f.ringsPassed = 0;
    EXPECT_TRUE(mixer.update(f).stopJingles);

    SoundFrame lose = rolling(5.0f);
    lose.racing = false;
    lose.lost = true;
    played = shots(mixer.update(lose));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].sound, Sound::Lose);
}

TEST(SoundMixer, KnocksOnHardLandingsOnly) {
    auto landing = [](float fallSpeed) {
        SoundMixer mixer;
        SoundFrame f = rolling(6.0f);
        f.touching = false;
        f.verticalSpeed = -fallSpeed;
        mixer.update(f);
        mixer.update(f);
        f.touching = true;
        f.verticalSpeed = 0.0f;
        const auto played = shots(mixer.update(f));
        return played.empty() ? 0.0f : played[0].gain;
    };
    EXPECT_FLOAT_EQ(landing(1.0f), 0.0f) << "a soft landing";
    EXPECT_GT(landing(4.0f), 0.0f);
    EXPECT_GT(landing(9.0f), landing(4.0f)) << "harder lands louder";
    EXPECT_LE(landing(40.0f), 1.0f);

    // Rolling on, however the slope changes, never knocks.
    SoundMixer mixer;
    SoundFrame f = rolling(6.0f);
    f.verticalSpeed = -8.0f;
    mixer.update(f);
    f.verticalSpeed = 0.0f;
    EXPECT_TRUE(shots(mixer.update(f)).empty());
}

// Through the keys, as the player does it, and back from the settings file.
TEST(SoundMixer, VolumeStepsAndMuteFromTheKeysAreRemembered) {
    TempDir dir;
    Settings settings(dir.file("settings.txt"));
    SoundMixer mixer = mixerFromSettings(settings);
    EXPECT_EQ(mixer.volume(), SoundMixer::kDefaultVolume);
    EXPECT_NEAR(mixer.masterGain(), 0.64f, 1e-6f);

    ScriptedInput input;
    SoundKeys keys;
    auto tap = [&](int key) {
        input.press(key);
        const bool changed = keys.update(input, mixer);
        EXPECT_FALSE(keys.update(input, mixer)) << "held, a key acts once";
        input.release(key);
        keys.update(input, mixer);
        return changed;
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(tap(key::Equal));
    EXPECT_EQ(mixer.volume(), SoundMixer::kMaxVolume);
    EXPECT_FLOAT_EQ(mixer.update(rolling(1.0f)).master, 1.0f);
    EXPECT_TRUE(tap(key::M));
    EXPECT_TRUE(mixer.muted());
    EXPECT_FLOAT_EQ(mixer.update(rolling(1.0f)).master, 0.0f);
    EXPECT_TRUE(tap(key::Minus)) << "turning the volume ends the mute";
    EXPECT_FALSE(mixer.muted());
    EXPECT_FLOAT_EQ(mixer.masterGain(), 0.81f);
    for (int i = 0; i < 12; ++i)
        tap(key::Minus);
    EXPECT_EQ(mixer.volume(), 0);
    EXPECT_FLOAT_EQ(mixer.masterGain(), 0.0f);
    EXPECT_FALSE(tap(key::KpSubtract)) << "only the main keyboard's keys";
    tap(key::Equal);
    tap(key::M);

    storeSoundSettings(mixer, settings);
    std::ostringstream log;
    ASSERT_TRUE(settings.save(log)) << log.str();
    const SoundMixer again = mixerFromSettings(Settings(dir.file("settings.txt")));
    EXPECT_EQ(again.volume(), 1);
    EXPECT_TRUE(again.muted());

    writeText(dir.file("settings.txt"), "volume 99\nmuted yes\n");
    const SoundMixer broken = mixerFromSettings(Settings(dir.file("settings.txt")));
    EXPECT_EQ(broken.volume(), SoundMixer::kDefaultVolume);
    EXPECT_FALSE(broken.muted());
}

// libsndfile's Ogg reader leaves the Vorbis decoder's state behind on some
// damaged files; the leak checker of the sanitizer build is told so here too,
// whatever environment the test runs in.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbis\nleak:vorbis_info_init\n";
}

TEST(Sounds, EveryCommonEncodingDecodesAndBadFilesAreRefused) {
    for (int i = 0; i < kSoundCount; ++i) {
        const std::string base =
            std::string(ZENTARO_SOURCE_DIR) + "/Kobuldo/Sounds/" + soundBaseName(static_cast<Sound>(i));
        DecodedSound sound;
        std::string path, error;
        ASSERT_TRUE(readSound(base, sound, path, error)) << path << ": " << error;
        EXPECT_EQ(sound.channels, 1) << path << ": positional sounds must be mono";
        EXPECT_GT(sound.samples.size(), static_cast<size_t>(sound.rate / 10)) << path;
    }

    // 400 frames at 8 kHz of a 500 Hz sine at half level (the second channel
    // inverted), as a sound editor writes them.
    struct Case {
        const char* file;
        int channels;
        int tolerance; // Vorbis is lossy
    };
    for (const Case& c : {Case{"pcm16.wav", 1, 1}, Case{"pcm24_stereo.wav", 2, 1}, Case{"float.wav", 1, 1},
                          Case{"vorbis.ogg", 1, 3000}}) {
        std::string bytes;
        ASSERT_EQ(readFileBytes(std::string(ZENTARO_TEST_DATA) + "/sounds/" + c.file, 1 << 20, bytes),
                  FileRead::Read);
        DecodedSound sound;
        std::string error;
        ASSERT_TRUE(decodeSound(bytes, sound, error)) << c.file << ": " << error;
        EXPECT_EQ(sound.rate, 8000) << c.file;
        ASSERT_EQ(sound.channels, c.channels) << c.file;
        ASSERT_EQ(sound.samples.size(), 400u * static_cast<size_t>(c.channels)) << c.file;
        const size_t peak = static_cast<size_t>(c.channels) * 100; // frame 100: a crest of the sine
        EXPECT_NEAR(sound.samples[peak], 16384, c.tolerance) << c.file;
        if (c.channels == 2) {
            EXPECT_NEAR(sound.samples[peak + 1], -16384, c.tolerance) << c.file;
        }
    }

    // The first of .wav, .ogg, .flac that exists, decoded by its content: an
    // Ogg file named .wav plays; a .wav that cannot be decoded is refused
    // with a reason, not passed over for the next name.
    TempDir dir;
    std::string vorbis;
    readFileBytes(std::string(ZENTARO_TEST_DATA) + "/sounds/vorbis.ogg", 1 << 20, vorbis);
    writeText(dir.file("a.wav"), vorbis);
    writeText(dir.file("a.ogg"), "not a sound");
    writeText(dir.file("b.flac"), vorbis);
    writeText(dir.file("c.wav"), std::string("RIFF\x24\0\0\0WAVEfmt ", 16));
    writeText(dir.file("c.ogg"), vorbis);
    DecodedSound sound;
    std::string path, error;
    EXPECT_TRUE(readSound(dir.file("a"), sound, path, error)) << error;
    EXPECT_EQ(path, dir.file("a.wav"));
    EXPECT_TRUE(readSound(dir.file("b"), sound, path, error)) << error;
    EXPECT_EQ(path, dir.file("b.flac"));
    EXPECT_FALSE(readSound(dir.file("c"), sound, path, error));
    EXPECT_EQ(path, dir.file("c.wav"));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readSound(dir.file("d"), sound, path, error));
    EXPECT_EQ(error, "no .wav, .ogg or .flac file");
    for (const std::string& bytes : {std::string(), std::string("RIFF"), vorbis.substr(0, 200)}) {
        DecodedSound refused;
        EXPECT_FALSE(decodeSound(bytes, refused, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(refused.samples.empty());
    }
}

TEST(SoundDevice, WithoutADeviceTheGameSaysSoOnceAndRunsSilent) {
    std::ostringstream log;
    SoundDevice sound(std::string(ZENTARO_SOURCE_DIR) + "/Kobuldo/Sounds/", log, "no such sound device");
    EXPECT_FALSE(sound.active());
    EXPECT_EQ(log.str(), "No sound device: playing without sound\n");
    SoundMixer mixer;
    SoundFrame f = rolling(8.0f);
    f.ringsPassed = 8;
    sound.play(mixer.update(f), SoundPlace{});
    EXPECT_EQ(log.str(), "No sound device: playing without sound\n");
}
