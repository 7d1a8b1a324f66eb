#pragma once
// One press, one action: a toggle or one-shot key acts on the frame it goes
// down and not again until it has been released, however long it is held
// and however short or long the frames are. A tap shorter than a frame still
// counts once (the window reports a key that went down and up between two
// frames). Keys meant to act while held (the push, the flying, the editor's
// keypad moves) read the input directly instead.
#include <array>
#include <cstdint>

namespace tovi {
class InputSource;

class KeyPresses {
  public:
    // Undo and redo repeat while held, like a text editor: after this delay,
    // then every interval.
    static constexpr double kRepeatDelay = 0.4;
    static constexpr double kRepeatInterval = 0.1;

    explicit KeyPresses(InputSource* input) : input(input) {}

    // Once a frame, before any key is asked: what was down becomes the frame
    // before, now is the frame's time in seconds.
    void nextFrame(double now);
    // The key went down since the frame before.
    bool pressed(int key);
    // pressed, and again while held past kRepeatDelay, every kRepeatInterval.
    bool pressedOrRepeated(int key);

  private:
    struct Key {
        bool known = false; // asked before: followed from frame to frame
        bool down = false;
        bool pressed = false;
        double nextRepeat = 0.0;
    };
    Key& follow(int key);

    InputSource* input;
    double now = 0.0;
    std::array<Key, 512> keys{}; // by key code (at most 348)
};

} // namespace tovi
