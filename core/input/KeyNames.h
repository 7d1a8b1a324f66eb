#pragma once
// Key codes by name: the settings file names a key by its GLFW constant
// without the GLFW_KEY_ prefix ("Q", "UP", "KP_0"); the screens show a label
// a player reads ("Q", "Up", "Keypad 0").
#include <string>

namespace tovi {

// The settings name of a key code; empty when the code names no key.
std::string keyName(int key);
// The key code of a settings name (exact, upper case); -1 when there is none.
int keyFromName(const std::string& name);
// What the screens call the key; "none" for -1, "key <code>" for an unknown one.
std::string keyLabel(int key);

} // namespace tovi
