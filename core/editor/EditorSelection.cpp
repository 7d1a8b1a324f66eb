// The editor's selection of one or several objects, and the actions that
// take every selected object as one step: delete, snap, typed values.
#include "core/editor/Editor.h"

#include "core/editor/GridDrag.h"
#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cmath>

namespace tovi {

namespace {
constexpr float kSmallestScale = 0.01f;
constexpr float kLargestScale = 100.0f;
const glm::vec3 kSelectedTint(0.15f, 0.3f, 0.55f);
const glm::vec3 kOverlapTint(0.6f, -0.3f, -0.3f);
} // namespace

std::vector<ObjectRef> Editor::selection() const {
    std::vector<ObjectRef> all;
    if (selected() == nullptr)
        return all;
    all.push_back(ObjectRef{ringSelected, ringSelected ? selectedRing : selectedTrack});
    for (const ObjectRef& o : alsoSelected)
        if (o.index >= 0 && o.index < static_cast<int>(listOf(o.ring).size()) &&
            std::find(all.begin(), all.end(), o) == all.end())
            all.push_back(o);
    return all;
}

bool Editor::isSelected(const ObjectRef& object) const {
    const std::vector<ObjectRef> all = selection();
    return std::find(all.begin(), all.end(), object) != all.end();
}

void Editor::selectAll(const std::vector<ObjectRef>& objects) {
    if (objects.empty())
        return;
    select(objects.front().ring, objects.front().index);
    alsoSelected.assign(objects.begin() + 1, objects.end());
}

void Editor::clearSelection() {
    endGesture();
    clearWobble();
    noneSelected = true;
    alsoSelected.clear();
}

void Editor::click(const Pick& pick, bool add) {
    endGesture();
    const ObjectRef object{pick.ring, pick.index};
    if (pick.hit && (pick.index < 0 || pick.index >= static_cast<int>(listOf(pick.ring).size())))
        return;
    if (!add) {
        if (!pick.hit) {
            clearSelection();
            message = "nothing selected";
            return;
        }
        select(object.ring, object.index);
        message = "selected " + objectName(object.ring, object.index);
        return;
    }
    if (!pick.hit)
        return;
    std::vector<ObjectRef> all = selection();
    const auto found = std::find(all.begin(), all.end(), object);
    if (found == all.end()) {
        all.push_back(object);
        message = "added " + objectName(object.ring, object.index) + " to the selection";
    } else {
        all.erase(found);
        message = "took " + objectName(object.ring, object.index) + " out of the selection";
    }
    if (all.empty())
        clearSelection();
    else
        selectAll(all);
}

void Editor::recordParts(std::vector<EditStep> parts) {
    if (parts.empty())
        return;
    EditStep step;
    if (parts.size() == 1) {
        step = std::move(parts.front());
    } else {
        step.kind = EditStep::Group;
        step.parts = std::move(parts);
    }
    apply(step, true, false);
    steps.record(step);
    message = describeStep(step);
}

bool Editor::changeAll(const std::vector<ObjectRef>& objects, const std::vector<glm::mat4>& after) {
    std::vector<EditStep> parts;
    for (std::size_t i = 0; i < objects.size() && i < after.size(); ++i) {
        const glm::mat4& now = objectAt(objects[i])->modelMatrix;
        if (now == after[i])
            continue;
        EditStep part;
        part.kind = EditStep::Change;
        part.ring = objects[i].ring;
        part.index = objects[i].index;
        part.before = now;
        part.after = after[i];
        parts.push_back(part);
    }
    if (parts.empty())
        return false;
    recordParts(std::move(parts));
    return true;
}

bool Editor::deleteSelection() {
    if (selectedFor("delete") == nullptr)
        return false;
    std::vector<ObjectRef> all = selection();
    // Highest numbers first, so the others keep theirs until their turn.
    std::sort(all.begin(), all.end(), [](const ObjectRef& a, const ObjectRef& b) {
        return a.ring != b.ring ? a.ring : a.index > b.index;
    });
    std::vector<EditStep> parts;
    for (const ObjectRef& o : all) {
        EditStep part;
        part.kind = EditStep::Delete;
        part.ring = o.ring;
        part.index = o.index;
        if (const auto* piece = dynamic_cast<const scene::TrackBase*>(objectAt(o)))
            part.pieceName = piece->pieceName;
        part.before = objectAt(o)->modelMatrix;
        parts.push_back(part);
    }
    recordParts(std::move(parts));
    return true;
}

bool Editor::snapSelection() {
    if (selectedFor("snap") == nullptr)
        return false;
    const std::vector<ObjectRef> all = selection();
    std::vector<glm::mat4> after;
    for (const ObjectRef& o : all)
        after.push_back(snapToGrid(objectAt(o)->modelMatrix));
    const std::string name = all.size() == 1 ? objectName(all[0].ring, all[0].index) : "the selection";
    if (!changeAll(all, after)) {
        message = name + (all.size() == 1 ? " is" : " is all") + " on the grid already";
        return false;
    }
    message = "snapped " + name + " to the grid";
    return true;
}

bool Editor::setPlacement(const glm::vec3& position, float turnDegrees, const glm::vec3& scale,
                          const KeepOwn& keepOwn) {
    if (selectedFor("change") == nullptr)
        return false;
    std::string why;
    if (!std::isfinite(turnDegrees) || !std::isfinite(scale.x) || !std::isfinite(scale.y) ||
        !std::isfinite(scale.z)) {
        message = "not changed: every value must be a number";
        return false;
    }
    if (glm::any(glm::lessThan(scale, glm::vec3(kSmallestScale))) ||
        glm::any(glm::greaterThan(scale, glm::vec3(kLargestScale)))) {
        message = "not changed: a scale goes from 0.01 to 100";
        return false;
    }
    const std::vector<ObjectRef> all = selection();
    const glm::vec3 move = position - glm::vec3(objectAt(all[0])->modelMatrix[3]);
    std::vector<glm::mat4> after;
    for (const ObjectRef& o : all) {
        const glm::mat4& now = objectAt(o)->modelMatrix;
        const glm::vec3 place = glm::vec3(now[3]) + move;
        if (!dragAllowed(place, why)) {
            message = "not changed: " + why;
            return false;
        }
        // The turn about y changes by the difference, any tilt stays; the
        // scale is set along the object's own axes.
        const float by = keepOwn.turn ? 0.0f : turnDegrees - turnAboutY(now);
        const glm::mat4 turn = glm::rotate(glm::mat4(1.0f), glm::radians(by), glm::vec3(0, 1, 0));
        glm::mat4 m = turn * glm::mat4(glm::mat3(now));
        for (int axis = 0; axis < 3; ++axis) {
            const float length = glm::length(glm::vec3(m[axis]));
            if (length > 0.0f && !keepOwn.scale[axis])
                m[axis] *= scale[axis] / length;
        }
        m[3] = glm::vec4(place, 1.0f);
        if (!isFiniteMatrix(m)) {
            message = "not changed: the values make no placement";
            return false;
        }
        after.push_back(m);
    }
    if (!changeAll(all, after)) {
        message = "nothing to change: the values are those of the selection";
        return false;
    }
    return true;
}

int Editor::overlapOf(int index) const {
    if (overlapsAt != changes || overlaps.size() != level.pieces->size()) {
        overlapsAt = changes;
        overlaps.assign(level.pieces->size(), -1);
        for (std::size_t i = 0; i < overlaps.size(); ++i)
            overlaps[i] = overlappingPiece(*level.physics, overlaps.size(), static_cast<int>(i));
    }
    if (index < 0 || index >= static_cast<int>(overlaps.size()))
        return -1;
    return overlaps[static_cast<std::size_t>(index)];
}

void Editor::markObjects(bool on) {
    const std::vector<ObjectRef> chosen = on ? selection() : std::vector<ObjectRef>();
    for (bool ring : {false, true}) {
        std::vector<scene::SceneObject*>& list = listOf(ring);
        for (std::size_t i = 0; i < list.size(); ++i) {
            glm::vec3 tint(0.0f);
            if (on && !ring && overlapOf(static_cast<int>(i)) >= 0)
                tint += kOverlapTint;
            if (std::find(chosen.begin(), chosen.end(), ObjectRef{ring, static_cast<int>(i)}) != chosen.end())
                tint += kSelectedTint;
            list[i]->drawTint = tint;
        }
    }
}

} // namespace tovi
