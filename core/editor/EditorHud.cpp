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

const std::vector<std::string>& editorHelp() {
    static const std::vector<std::string> lines = {
        "EDITOR KEYS",
        "mouse                   look around",
        "Tab                     free the cursor / look",
        "left click              select (on nothing: none)",
        "Left Ctrl + click       add to / take from selection",
        "left drag               move over the grid",
        "  with Left Alt         up and down, half units",
        "right button held       look around (cursor free)",
        "Left Ctrl + C / V       copy / paste the selection",
        "W A S D, arrows         fly",
        "Space / Left Shift      fly up / down",
        "0                       ring at the camera",
        "1 2 3 4                 ramp straight left right",
        "Left Alt + 1 2 3 4      the same, joined to the",
        "                        selected piece's exit",
        "U / I                   next piece / next ring",
        "T + keypad 4 6 8 5 9 7  move x+ x- z+ z- y+ y-",
        "R + keypad 4 6 8 5 9 7  turn about own y, x, z",
        "Z + keypad ... 1 2      scale own axes, all",
        "keypad 0 (held)         ten times the step",
        "G                       snap to the course grid",
        "Delete                  delete the selection",
        "Left Ctrl + Z / Y       undo / redo",
        "Left Ctrl + S           save the course",
        "F6                      check the course",
        "E                       back to the race",
        "F1                      hide this help",
    };
    return lines;
}

const std::vector<std::string>& raceHelp() {
    static const std::vector<std::string> lines = {
        "RACE KEYS",
        "W / S        push along / against the motion",
        "A / D        push to the left / right",
        "mouse        swing the camera",
        "Enter        start a race",
        "N            restart the race",
        "P            pause / go on",
        "V            ghost of the best run on / off",
        "Left / Right choose the course (on a screen)",
        "M            sound on / off",
        "- / +        volume down / up",
        "E            level editor on / off",
        "F6           check the course",
        "F2           frame rate and culling figures",
        "F3           wireframe",
        "F4 / F5      texture filters",
        "F8           frustum culling",
        "F9           particle blending",
        "F1           hide this help",
        "Escape       quit",
    };
    return lines;
}

} // namespace tovi
