#include "core/input/NameField.h"

#include "core/input/Gamepad.h"
#include "core/input/Keys.h"

namespace tovi {

std::string courseNameProblem(const std::string& name) {
    if (name.find_first_not_of(' ') == std::string::npos)
        return "A name needs a letter or digit";
    if (name.size() > kMaxCourseName)
        return "At most " + std::to_string(kMaxCourseName) + " characters";
    for (unsigned char c : name)
        if (c < 0x20 || c > 0x7e)
            return "Letters, digits and signs only";
    return "";
}

NameField::NameField(std::string start, std::function<void(const std::string&)> onKeep)
    : name(std::move(start)), keeper(std::move(onKeep)) {
    if (name.size() > kMaxCourseName)
        name.resize(kMaxCourseName);
}

bool NameField::keep() {
    note = courseNameProblem(name);
    if (!note.empty())
        return false;
    kept = true;
    return true;
}

bool NameField::keyPressed(int key) {
    if (key == key::Enter || key == key::KpEnter)
        return keep();
    if (key == key::Backspace && !name.empty()) {
        name.pop_back();
        note.clear();
    }
    return false;
}

bool NameField::typed(unsigned codepoint) {
    if (codepoint < 0x20 || codepoint > 0x7e) {
        note = "Letters, digits and signs only";
        return false;
    }
    if (name.size() >= kMaxCourseName) {
        note = "At most " + std::to_string(kMaxCourseName) + " characters";
        return false;
    }
    name.push_back(static_cast<char>(codepoint));
    note.clear();
    return false;
}

bool NameField::padPressed(int button) {
    return button == GamepadState::A && keep();
}

void NameField::closed() {
    if (kept && keeper)
        keeper(name);
}

void NameField::lines(std::vector<std::string>& out) const {
    out.clear();
    out.push_back("Course name:");
    out.push_back(name + "_");
    out.push_back(note.empty() ? "Enter keeps  Esc cancels" : note);
}

} // namespace tovi
