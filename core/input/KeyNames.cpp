#include "core/input/KeyNames.h"

#include <array>
#include <cctype>
#include <utility>

namespace tovi {

namespace {

struct NamedKey {
    int code;
    const char* name;
};

// Every key GLFW names, except the letters, digits and numbered function and
// keypad keys, which follow from their codes.
constexpr std::array<NamedKey, 45> kNamed{{
    {32, "SPACE"},        {39, "APOSTROPHE"},    {44, "COMMA"},         {45, "MINUS"},
    {46, "PERIOD"},       {47, "SLASH"},         {59, "SEMICOLON"},     {61, "EQUAL"},
    {91, "LEFT_BRACKET"}, {92, "BACKSLASH"},     {93, "RIGHT_BRACKET"}, {96, "GRAVE_ACCENT"},
    {161, "WORLD_1"},     {162, "WORLD_2"},      {256, "ESCAPE"},       {257, "ENTER"},
    {258, "TAB"},         {259, "BACKSPACE"},    {260, "INSERT"},       {261, "DELETE"},
    {262, "RIGHT"},       {263, "LEFT"},         {264, "DOWN"},         {265, "UP"},
    {266, "PAGE_UP"},     {267, "PAGE_DOWN"},    {268, "HOME"},         {269, "END"},
    {280, "CAPS_LOCK"},   {281, "SCROLL_LOCK"},  {282, "NUM_LOCK"},     {283, "PRINT_SCREEN"},
    {284, "PAUSE"},       {330, "KP_DECIMAL"},   {331, "KP_DIVIDE"},    {332, "KP_MULTIPLY"},
    {333, "KP_SUBTRACT"}, {334, "KP_ADD"},       {335, "KP_ENTER"},     {336, "KP_EQUAL"},
    {340, "LEFT_SHIFT"},  {341, "LEFT_CONTROL"}, {342, "LEFT_ALT"},     {343, "LEFT_SUPER"},
    {344, "RIGHT_SHIFT"},
}};
constexpr std::array<NamedKey, 4> kNamedRight{
    {{345, "RIGHT_CONTROL"}, {346, "RIGHT_ALT"}, {347, "RIGHT_SUPER"}, {348, "MENU"}}};

constexpr int kF1 = 290;
constexpr int kF25 = 314;
constexpr int kKp0 = 320;

template <typename Table> const char* findName(const Table& table, int key) {
    for (const NamedKey& entry : table)
        if (entry.code == key)
            return entry.name;
    return nullptr;
}

template <typename Table> int findCode(const Table& table, const std::string& name) {
    for (const NamedKey& entry : table)
        if (name == entry.name)
            return entry.code;
    return -1;
}

// A number of one or two digits, nothing else; -1 otherwise.
int smallNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 || text[0] == '0')
        return -1;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return -1;
    return std::stoi(text);
}

} // namespace

std::string keyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= kF1 && key <= kF25)
        return "F" + std::to_string(key - kF1 + 1);
    if (key >= kKp0 && key <= kKp0 + 9)
        return "KP_" + std::to_string(key - kKp0);
    if (const char* name = findName(kNamed, key))
        return name;
    if (const char* name = findName(kNamedRight, key))
        return name;
    return {};
}

int keyFromName(const std::string& name) {
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return name[0];
    if (name.size() >= 2 && name[0] == 'F') {
        const int n = smallNumber(name.substr(1));
        return n >= 1 && n <= kF25 - kF1 + 1 ? kF1 + n - 1 : -1;
    }
    if (name.size() == 4 && name.compare(0, 3, "KP_") == 0 &&
        std::isdigit(static_cast<unsigned char>(name[3])))
        return kKp0 + (name[3] - '0');
    const int code = findCode(kNamed, name);
    return code >= 0 ? code : findCode(kNamedRight, name);
}

std::string keyLabel(int key) {
    if (key < 0)
        return "none";
    std::string name = keyName(key);
    if (name.empty())
        return "key " + std::to_string(key);
    if (name.compare(0, 3, "KP_") == 0)
        name = "Keypad " + name.substr(3);
    // LEFT_SHIFT -> Left Shift
    bool wordStart = true;
    for (char& c : name) {
        if (c == '_') {
            c = ' ';
            wordStart = true;
        } else {
            c = wordStart ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            wordStart = false;
        }
    }
    return name;
}

} // namespace tovi
