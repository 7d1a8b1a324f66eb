#include "core/player/KeyBindings.h"

#include "core/input/KeyNames.h"
#include "core/input/Keys.h"
#include "core/player/Settings.h"

#include <ostream>

namespace tovi {

namespace {

// Where an action acts: in a race, on the start, win and lose screens, or
// both. Two actions may share a key only when they never act in one mode.
enum Mode : unsigned { InRace = 1, OnScreens = 2, Anywhere = 3 };

struct ActionInfo {
    const char* name;
    const char* label;
    int key;
    unsigned modes;
};

constexpr std::array<ActionInfo, kActionCount> kActions{{
    {"forward", "push along", key::W, InRace},
    {"back", "push against", key::S, InRace},
    {"left", "push left", key::A, InRace},
    {"right", "push right", key::D, InRace},
    {"restart", "restart the race", key::N, InRace},
    {"pause", "pause / go on", key::P, InRace},
    {"ghost", "ghost on / off", key::V, InRace},
    {"help", "key help on / off", key::F1, Anywhere},
    {"editor", "level editor on / off", key::E, Anywhere},
    {"check", "check the course", key::F6, Anywhere},
    {"start", "start a race", key::Enter, Anywhere},
    {"previous", "previous course", key::Left, OnScreens},
    {"next", "next course", key::Right, OnScreens},
}};

const ActionInfo& info(Action action) {
    return kActions[static_cast<std::size_t>(action)];
}

bool isPush(Action action) {
    return action == Action::Forward || action == Action::Back || action == Action::Left ||
           action == Action::Right;
}

} // namespace

const char* actionName(Action action) {
    return info(action).name;
}

const char* actionLabel(Action action) {
    return info(action).label;
}

int defaultKey(Action action) {
    return info(action).key;
}

std::string fixedKeyUse(int k, Action wanting) {
    if (k >= key::Kp0 && k <= key::Kp9)
        return "the editor's move, turn and scale steps";
    if (k >= key::Num1 && k <= key::Num4)
        return "the editor's place a piece";
    if (k >= key::F1 && k <= key::F12 && k != key::F1 && k != key::F6 && k != key::F10 && k != key::F12)
        return "the display and test keys (F2-F5, F7-F9, F11)";
    switch (k) {
    case key::Escape:
        return "quit / close";
    case key::O:
        return "the options";
    case key::M:
        return "sound off / on";
    case key::Minus:
        return "volume down";
    case key::Equal:
        return "volume up";
    case key::B:
        return "win the race at once";
    case key::C:
        return "reset the best time";
    case key::Space:
        return "the editor's fly up";
    case key::LeftShift:
        return "the editor's fly down";
    case key::LeftControl:
        return "the editor's save, undo, redo, copy and paste";
    case key::LeftAlt:
        return "the editor's join a piece";
    case key::Num0:
        return "the editor's place a ring";
    case key::U:
        return "the editor's next piece";
    case key::I:
        return "the editor's next ring";
    case key::T:
        return "the editor's move";
    case key::R:
        return "the editor's turn";
    case key::Z:
        return "the editor's scale";
    case key::G:
        return "the editor's snap to the grid";
    case key::H:
        return "the editor";
    case key::Delete:
        return "the editor's delete";
    case key::Insert:
        return "the editor's new course";
    case key::L:
        return "the editor's course name";
    case key::Tab:
        return "the editor's cursor";
    case key::W:
    case key::A:
    case key::S:
    case key::D:
        return isPush(wanting) ? std::string() : "the editor's flying";
    default:
        return {};
    }
}

const KeyBindings& KeyBindings::usual() {
    static const KeyBindings keys;
    return keys;
}

void KeyBindings::reset() {
    for (std::size_t i = 0; i < kActionCount; ++i)
        keys[i] = kActions[i].key;
}

KeyBindings::Holder KeyBindings::holderOf(int k, Action wanting) const {
    Holder holder;
    holder.use = fixedKeyUse(k, wanting);
    if (!holder.use.empty()) {
        holder.taken = holder.fixed = true;
        return holder;
    }
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto other = static_cast<Action>(i);
        if (other != wanting && keys[i] == k && (kActions[i].modes & info(wanting).modes) != 0) {
            holder.taken = true;
            holder.action = other;
            holder.use = kActions[i].label;
            return holder;
        }
    }
    return holder;
}

KeyBindings::Outcome KeyBindings::bind(Action action, int k, bool swap, std::string& message) {
    const std::string label = keyLabel(k);
    if (keyName(k).empty()) {
        message = "That key has no name the settings file can keep: choose another";
        return Outcome::Refused;
    }
    const Holder holder = holderOf(k, action);
    if (holder.taken && (holder.fixed || !swap)) {
        message =
            label + " is taken by " + holder.use +
            (holder.fixed ? std::string(": choose another key") : std::string(": press it again to swap"));
        return Outcome::Refused;
    }
    int& mine = keys[static_cast<std::size_t>(action)];
    if (holder.taken) {
        keys[static_cast<std::size_t>(holder.action)] = mine;
        message =
            std::string(actionLabel(action)) + " is now " + label + ", " + holder.use + " " + keyLabel(mine);
        mine = k;
        return Outcome::Swapped;
    }
    mine = k;
    message = std::string(actionLabel(action)) + " is now " + label;
    return Outcome::Bound;
}

void KeyBindings::load(const Settings& settings, std::ostream& log) {
    // Keys named in the file first, in the actions' order (a later one that
    // collides is the one dropped), then the defaults of the rest.
    std::array<bool, kActionCount> named{};
    for (std::size_t i = 0; i < kActionCount; ++i)
        keys[i] = -1;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const std::string line = std::string("key.") + kActions[i].name;
        const std::string name = settings.get(line, "");
        if (name.empty())
            continue;
        const int k = keyFromName(name);
        const Holder holder = k >= 0 ? holderOf(k, action) : Holder{};
        if (k < 0)
            log << "Settings: " << line << " names no key (\"" << name << "\"): " << kActions[i].label
                << " keeps its key" << std::endl;
        else if (holder.taken)
            log << "Settings: " << line << " " << name << " skipped: " << keyLabel(k) << " is taken by "
                << holder.use << std::endl;
        else {
            keys[i] = k;
            named[i] = true;
        }
    }
    for (std::size_t i = 0; i < kActionCount; ++i) {
        if (named[i])
            continue;
        const auto action = static_cast<Action>(i);
        const Holder holder = holderOf(kActions[i].key, action);
        if (holder.taken)
            log << "Settings: " << kActions[i].label << " has no key: its usual " << keyLabel(kActions[i].key)
                << " is taken by " << holder.use << std::endl;
        else
            keys[i] = kActions[i].key;
    }
}

void KeyBindings::store(Settings& settings) const {
    for (std::size_t i = 0; i < kActionCount; ++i)
        if (keys[i] >= 0)
            settings.set(std::string("key.") + kActions[i].name, keyName(keys[i]));
}

} // namespace tovi
