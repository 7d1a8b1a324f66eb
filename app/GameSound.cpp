#include "app/GameSound.h"

#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

namespace tovi {

GameSound::GameSound(InputSource& in, Settings& s, std::ostream& out)
    : input(in), settings(s), log(out), mixer(mixerFromSettings(s)), device("Kobuldo/Sounds/", out) {}

void GameSound::keep() {
    // Without a folder for the player's files the choice lasts this run only.
    if (settings.path().empty())
        return;
    storeSoundSettings(mixer, settings);
    settings.save(log);
}

void GameSound::setSound(int volume, bool muted) {
    // A step of the volume ends a mute: the volume first.
    while (mixer.volume() < volume && mixer.volume() < SoundMixer::kMaxVolume)
        mixer.volumeUp();
    while (mixer.volume() > volume && mixer.volume() > 0)
        mixer.volumeDown();
    if (mixer.muted() != muted)
        mixer.toggleMute();
    keep();
}

void GameSound::update(const MyCollision& race, const PhysicsWorld& physics, const glm::mat4& view, double dt,
                       bool paused) {
    if (keys.update(input, mixer))
        keep();

    SoundFrame frame;
    frame.dt = dt;
    if (physics.ballBody != nullptr) {
        const btVector3& v = physics.ballBody->getLinearVelocity();
        frame.speed = v.length();
        frame.verticalSpeed = v.y();
    }
    frame.touching = physics.ballTouches();
    frame.racing = race.state == MyCollision::Racing;
    frame.won = race.state == MyCollision::Won;
    frame.lost = race.state == MyCollision::Lost;
    frame.ringsPassed = static_cast<int>(race.passedRings.size());
    frame.ringCount = static_cast<int>(race.rings->size());
    frame.paused = paused;

    // The view matrix's rows are the camera's right, up and backward axes.
    SoundPlace place;
    const glm::mat4 toWorld = glm::inverse(view);
    place.eye = glm::vec3(toWorld[3]);
    place.forward = -glm::vec3(view[0][2], view[1][2], view[2][2]);
    place.up = glm::vec3(view[0][1], view[1][1], view[2][1]);
    place.ball = glm::vec3(physics.getBallModelMatrix()[3]);
    device.play(mixer.update(frame), place);
}

} // namespace tovi
