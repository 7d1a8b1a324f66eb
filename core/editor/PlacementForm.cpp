#include "core/editor/PlacementForm.h"

#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tovi {

namespace {

constexpr float kSmallestScale = 0.01f;
constexpr float kLargestScale = 100.0f;

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// The value as the panel shows it: three decimals at most, no trailing zeros.
void show(float value, std::array<char, PlacementForm::kFieldLength + 1>& text) {
    if (std::fabs(value) < 5e-4f)
        value = 0.0f; // no "-0"
    std::snprintf(text.data(), text.size(), "%.3f", static_cast<double>(value));
    char* end = text.data() + std::strlen(text.data());
    while (end > text.data() && end[-1] == '0')
        *--end = '\0';
    if (end > text.data() && end[-1] == '.')
        end[-1] = '\0';
}

// The values a matrix shows in the fields, in field order.
std::array<float, PlacementForm::FieldCount> valuesOf(const glm::mat4& m) {
    return {m[3][0],
            m[3][1],
            m[3][2],
            turnAboutY(m),
            glm::length(glm::vec3(m[0])),
            glm::length(glm::vec3(m[1])),
            glm::length(glm::vec3(m[2]))};
}

} // namespace

bool readTypedNumber(const char* text, float lowest, float highest, float& value, std::string& why) {
    while (isSpace(*text))
        ++text;
    if (*text == '\0') {
        why = "is empty";
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double read = std::strtod(text, &end);
    while (end != nullptr && isSpace(*end))
        ++end;
    if (end == text || end == nullptr || *end != '\0') {
        why = "is not a number";
        return false;
    }
    if (!std::isfinite(read) || errno == ERANGE || std::fabs(read) > std::numeric_limits<float>::max()) {
        why = "is not a finite number";
        return false;
    }
    if (read < static_cast<double>(lowest) || read > static_cast<double>(highest)) {
        char range[80];
        std::snprintf(range, sizeof range, "goes from %g to %g", static_cast<double>(lowest),
                      static_cast<double>(highest));
        why = range;
        return false;
    }
    value = static_cast<float>(read);
    return true;
}

const char* PlacementForm::label(Field field) {
    static const char* const names[FieldCount] = {"x", "y", "z", "turn", "scale x", "scale y", "scale z"};
    return names[field];
}

bool PlacementForm::follow(const Editor& editor) {
    const scene::SceneObject* first = editor.selected();
    if (first == nullptr || editor.noneSelected) {
        filledFor.clear();
        return false;
    }
    const std::vector<ObjectRef> now = editor.selection();
    if (now != filledFor || editor.revision() != filledAt || (!dirty && first->modelMatrix != filledFrom))
        fill(editor);
    return true;
}

void PlacementForm::fill(const Editor& editor) {
    filledFor = editor.selection();
    filledAt = editor.revision();
    const scene::SceneObject* first = editor.selected();
    filledFrom = first->modelMatrix;
    dirty = false;
    refused.clear();
    const std::array<float, FieldCount> values = valuesOf(filledFrom);
    for (int f = 0; f < FieldCount; ++f)
        show(values[static_cast<std::size_t>(f)], fields[static_cast<std::size_t>(f)]);
    const auto* piece = dynamic_cast<const scene::TrackBase*>(first);
    const ObjectRef& ref = filledFor.front();
    what = (ref.ring ? "ring " : "piece ") + std::to_string(ref.index + 1);
    if (piece != nullptr && !ref.ring)
        what += " (" + piece->pieceName + ")";
    if (filledFor.size() > 1)
        what += " and " + std::to_string(filledFor.size() - 1) + " more";
}

bool PlacementForm::apply(Editor& editor) {
    const bool done = applyFields(editor);
    refused = done ? std::string() : editor.message;
    return done;
}

bool PlacementForm::applyFields(Editor& editor) {
    if (editor.selected() == nullptr || filledFor.empty() || filledFor != editor.selection()) {
        editor.say("not changed: nothing selected");
        return false;
    }
    // A field left as it was filled keeps the exact value (the text shows it
    // rounded), and the turn and scale it shows stay each object's own.
    const std::array<float, FieldCount> exact = valuesOf(filledFrom);
    std::array<float, FieldCount> typed = exact;
    std::array<bool, FieldCount> changed{};
    bool any = false;
    for (int f = 0; f < FieldCount; ++f) {
        const auto i = static_cast<std::size_t>(f);
        std::array<char, kFieldLength + 1> shown{};
        show(exact[i], shown);
        if (std::strcmp(shown.data(), fields[i].data()) == 0)
            continue;
        const bool scale = f >= ScaleX;
        const float lowest = f == Turn ? -kLargestTurn
                             : scale   ? kSmallestScale
                                       : -std::numeric_limits<float>::max();
        const float highest = f == Turn ? kLargestTurn
                              : scale   ? kLargestScale
                                        : std::numeric_limits<float>::max();
        std::string why;
        if (!readTypedNumber(fields[i].data(), lowest, highest, typed[i], why)) {
            editor.say(std::string("not changed: ") + label(static_cast<Field>(f)) + " " + why);
            return false;
        }
        changed[i] = any = true;
    }
    if (!any) {
        editor.say("nothing to change: the values are those of the selection");
        return false;
    }
    KeepOwn keep;
    keep.turn = !changed[Turn];
    keep.scale = glm::bvec3(!changed[ScaleX], !changed[ScaleY], !changed[ScaleZ]);
    const bool done = editor.setPlacement(glm::vec3(typed[X], typed[Y], typed[Z]), typed[Turn],
                                          glm::vec3(typed[ScaleX], typed[ScaleY], typed[ScaleZ]), keep);
    // Refused: the typed text stays for mending. Applied: the next follow
    // fills the fields from the changed course.
    if (done)
        dirty = false;
    return done;
}

} // namespace tovi
