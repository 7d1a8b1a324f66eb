#pragma once
// The one-line field a course is named in: printable ASCII only, at most
// kMaxCourseName characters (what the start screen shows of a name).
// Backspace takes the last character back, Enter keeps the name, Escape
// cancels. A name that is empty or only spaces is refused with a message
// and the field stays open.
#include "core/input/ModalStack.h"

#include <functional>
#include <string>

namespace tovi {

constexpr std::size_t kMaxCourseName = 20;

// Why a name cannot be a course's name, or "" when it can.
std::string courseNameProblem(const std::string& name);

class NameField : public Modal {
  public:
    // onKeep gets the name when Enter keeps it; nothing is told on Escape.
    NameField(std::string name, std::function<void(const std::string&)> onKeep);

    bool keyPressed(int key) override;
    bool typed(unsigned codepoint) override;
    // On a pad, A keeps the name and B cancels; nothing else types.
    bool padPressed(int button) override;
    void closed() override;
    void lines(std::vector<std::string>& out) const override;

    const std::string& text() const { return name; }
    const std::string& message() const { return note; }

  private:
    bool keep();

    std::string name;
    std::string note;
    bool kept = false;
    std::function<void(const std::string&)> keeper;
};

} // namespace tovi
