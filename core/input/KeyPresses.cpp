#include "core/input/KeyPresses.h"

#include "core/input/Input.h"

namespace tovi {

namespace {
bool validKey(int key) {
    return key >= 0 && key < 512;
}
} // namespace

void KeyPresses::nextFrame(double time) {
    now = time;
    for (std::size_t code = 0; code < keys.size(); ++code) {
        Key& k = keys[code];
        if (!k.known)
            continue;
        const int key = static_cast<int>(code);
        const bool down = input->keyPressed(key);
        // Down now and up the frame before, or down and up again between
        // the two frames (the window tells of that press).
        k.pressed = (down && !k.down) || input->keyWentDown(key);
        k.down = down;
        if (k.pressed)
            k.nextRepeat = now + kRepeatDelay;
    }
}

KeyPresses::Key& KeyPresses::follow(int key) {
    Key& k = keys[static_cast<std::size_t>(key)];
    if (!k.known) {
        // First asked: down now counts as this frame's press.
        k.known = true;
        k.down = input->keyPressed(key);
        k.pressed = k.down || input->keyWentDown(key);
        k.nextRepeat = now + kRepeatDelay;
    }
    return k;
}

bool KeyPresses::pressed(int key) {
    return validKey(key) && follow(key).pressed;
}

bool KeyPresses::pressedOrRepeated(int key) {
    if (!validKey(key))
        return false;
    Key& k = follow(key);
    if (k.pressed)
        return true;
    if (!k.down || now < k.nextRepeat)
        return false;
    k.nextRepeat += kRepeatInterval;
    if (k.nextRepeat < now)
        k.nextRepeat = now + kRepeatInterval;
    return true;
}

} // namespace tovi
