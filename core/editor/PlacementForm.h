#pragma once
// The property panel's fields as the designer types them: the selection's
// position, turn about y and scale, filled from the first selected object and
// applied together as one undo step. The panel (drawn in app/) owns nothing
// else: every check of a typed value is here.
#include "core/editor/Editor.h"

#include <glm/glm.hpp>

#include <array>
#include <string>
#include <vector>

namespace tovi {

class PlacementForm {
  public:
    enum Field { X, Y, Z, Turn, ScaleX, ScaleY, ScaleZ, FieldCount };
    // The longest text a field takes (a number needs far less).
    static constexpr std::size_t kFieldLength = 31;
    // A typed turn goes from -360 to 360 degrees.
    static constexpr float kLargestTurn = 360.0f;

    // Follows the editor: when the selection or the course changed since the
    // last fill, the fields are filled anew (typed text not yet applied is
    // dropped then). False when nothing is selected.
    bool follow(const Editor& editor);
    // Reads every field and applies them to the selection as one undo step.
    // A field that holds no number, or one out of range, refuses the whole
    // change with a message naming it (in the editor's message); nothing is
    // half-applied.
    bool apply(Editor& editor);

    // The field's text for typing into (kFieldLength characters at most).
    std::array<char, kFieldLength + 1>& text(Field field) { return fields[field]; }
    static const char* label(Field field);
    // "piece 3 (ramp)", "ring 2", "piece 3 (ramp) and 2 more".
    const std::string& kind() const { return what; }
    // The designer typed since the fields were last filled.
    void edited() { dirty = true; }
    // Why the last apply was refused; empty after one that was not, and
    // once the fields are filled anew.
    const std::string& refusal() const { return refused; }

  private:
    void fill(const Editor& editor);
    bool applyFields(Editor& editor);

    std::array<std::array<char, kFieldLength + 1>, FieldCount> fields{};
    std::string what;
    std::string refused;
    std::vector<ObjectRef> filledFor;
    unsigned filledAt = ~0u;
    glm::mat4 filledFrom{0.0f};
    bool dirty = false;
};

// A typed number: the whole text (spaces around allowed) one finite number
// within [lowest, highest]; else false, and why in `why`.
bool readTypedNumber(const char* text, float lowest, float highest, float& value, std::string& why);

} // namespace tovi
