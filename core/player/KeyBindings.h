#pragma once
// The race actions a player may move to other keys, the keys the game keeps
// for itself, and the rules between them: no key does two things in one mode.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>

namespace tovi {
class Settings;

enum class Action {
    Forward,
    Back,
    Left,
    Right,
    Restart,
    Pause,
    Ghost,
    Help,
    Editor,
    Check,
    Start,
    Previous,
    Next
};
constexpr std::size_t kActionCount = 13;

// The name in the settings file (key.<name>), and what the screens call it.
const char* actionName(Action action);
const char* actionLabel(Action action);
int defaultKey(Action action);

// What the game keeps a key for that no binding may take (the editor's keys,
// the sound keys, the display keys, Escape, O): empty when it keeps none.
// Arrows are free: the editor flies with them, and the race may use them.
// The editor's W A S D flight is shared only with the four push actions.
std::string fixedKeyUse(int key, Action wanting);

class KeyBindings {
  public:
    // The usual keys, for whoever is given no bindings of the player's.
    static const KeyBindings& usual();

    KeyBindings() { reset(); }

    // The key bound to the action; -1 when it has none.
    int key(Action action) const { return keys[static_cast<std::size_t>(action)]; }
    // Every action back on its default key.
    void reset();

    // Who else has the key in a mode where the action acts: the other
    // action, or the game's own use of it.
    struct Holder {
        bool taken = false;
        bool fixed = false; // the game's own: never given up
        Action action{};    // the bound action holding it, when not fixed
        std::string use;    // what it does there, for the message
    };
    Holder holderOf(int key, Action wanting) const;

    enum class Outcome { Bound, Swapped, Refused };
    // Binds the key to the action when it is free. A key another action holds
    // is swapped (that action takes this one's old key) only when swap is
    // set; otherwise, like a key the game keeps, it is refused. message says
    // what happened in words a player reads.
    Outcome bind(Action action, int key, bool swap, std::string& message);

    // Reads the key.<action> lines: an unknown key name, a key the game keeps
    // or one already bound in the same mode is skipped with a line on log and
    // the default kept (an action whose default is then taken has no key).
    void load(const Settings& settings, std::ostream& log);
    // Writes every action's key.<action> line.
    void store(Settings& settings) const;

  private:
    std::array<int, kActionCount> keys{};
};

} // namespace tovi
