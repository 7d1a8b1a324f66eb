#include "core/editor/EditorHud.h"

#include "core/course/CourseFile.h"
#include "core/editor/Editor.h"
#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"

#include <cmath>
#include <cstdio>

namespace tovi {

namespace {

std::string placementLine(const glm::mat4& m) {
    char text[200];
    std::snprintf(text, sizeof text, "at (%.2f, %.2f, %.2f)  turn %.1f", static_cast<double>(m[3][0]),
                  static_cast<double>(m[3][1]), static_cast<double>(m[3][2]),
                  static_cast<double>(turnAboutY(m)));
    std::string line = text;
    const float sx = glm::length(glm::vec3(m[0]));
    const float sy = glm::length(glm::vec3(m[1]));
    const float sz = glm::length(glm::vec3(m[2]));
    if (std::fabs(sx - sy) < 5e-4f && std::fabs(sx - sz) < 5e-4f)
        std::snprintf(text, sizeof text, "  scale %.2f", static_cast<double>(sx));
    else
        std::snprintf(text, sizeof text, "  scale %.2f x %.2f x %.2f", static_cast<double>(sx),
                      static_cast<double>(sy), static_cast<double>(sz));
    return line + text;
}

} // namespace

void appendEditorStatus(const Editor& editor, std::vector<std::string>& lines) {
    lines.push_back("EDIT MODE  (F1: keys)");
    const scene::SceneObject* object = editor.selected();
    if (object == nullptr) {
        lines.push_back(editor.ringSelected ? "no ring selected: the course has no rings"
                                            : "no piece selected: the course has no pieces");
    } else {
        const std::size_t total =
            editor.ringSelected ? editor.entryCount() - editor.pieceCount() : editor.pieceCount();
        std::string what = (editor.ringSelected ? "ring " : "piece ") +
                           std::to_string(editor.selectedNumber()) + " of " + std::to_string(total);
        if (const auto* piece = dynamic_cast<const scene::TrackBase*>(object))
            what += ": " + piece->pieceName;
        lines.push_back(what);
        lines.push_back(placementLine(object->modelMatrix));
        const int other = editor.ringSelected ? -1 : editor.overlapOf(editor.selectedTrack);
        if (other >= 0) {
            std::string line = "cuts into piece " + std::to_string(other + 1);
            if (const auto* piece = dynamic_cast<const scene::TrackBase*>(
                    (*editor.levelInUse().pieces)[static_cast<std::size_t>(other)]))
                line += " (" + piece->pieceName + ")";
            lines.push_back(line + " (saving still allowed)");
        }
    }
    if (editor.selection().size() > 1)
        lines.push_back(std::to_string(editor.selection().size()) + " objects selected");
    lines.push_back("entries " + std::to_string(editor.entryCount()) + " of " +
                    std::to_string(kMaxCourseEntries));
    if (!editor.message.empty())
        lines.push_back(editor.message);
}

} // namespace tovi
