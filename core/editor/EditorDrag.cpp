// Dragging the selection over the grid, and copy and paste.
#include "core/editor/Editor.h"

#include "core/course/CourseStore.h"
#include "core/editor/GridDrag.h"
#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"
#include "physics/PhysicsWorld.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <iostream>

namespace tovi {

namespace {
// A paste without a piece to join to lands this far in front of the camera.
constexpr float kPasteAhead = 12.0f;

glm::mat4 movedBy(glm::mat4 m, const glm::vec3& offset) {
    m[3] += glm::vec4(offset, 0.0f);
    return m;
}
} // namespace

bool Editor::beginDrag(const Ray& ray) {
    endGesture();
    const std::vector<ObjectRef> all = selection();
    if (all.empty())
        return false;
    const Pick pick = pickObject(ray, *level.physics, level.pieces->size(), *level.rings);
    if (!pick.hit || !isSelected(ObjectRef{pick.ring, pick.index}))
        return false;
    drag = Drag();
    drag.open = true;
    drag.grab = ray.origin + ray.direction * pick.distance;
    drag.objects = all;
    for (const ObjectRef& o : all)
        drag.before.push_back(objectAt(o)->modelMatrix);
    return true;
}

void Editor::dragTo(const Ray& ray, bool height) {
    if (!drag.open)
        return;
    glm::vec3 offset = drag.offset;
    glm::vec3 point;
    if (height) {
        if (!rayOnUpright(ray, drag.grab + drag.offset, point))
            return;
        offset.y = halfUnits(drag.grab.y, point.y);
    } else {
        if (!rayAtHeight(ray, drag.grab.y + drag.offset.y, point))
            return;
        // Whole cells from where the cursor took hold, the first object on
        // the grid's cells.
        const glm::vec3 start(drag.before[0][3]);
        const glm::vec3 moved = onCells(start + wholeCells(drag.grab, point)) - start;
        offset.x = moved.x;
        offset.z = moved.z;
    }
    if (offset == drag.offset)
        return;
    std::string why;
    for (const glm::mat4& before : drag.before) {
        if (!dragAllowed(glm::vec3(before[3]) + offset, why)) {
            message = "not moved there: " + why;
            return;
        }
    }
    drag.offset = offset;
    // Drawn there now; the collision bodies follow when the drag ends.
    for (std::size_t i = 0; i < drag.objects.size(); ++i)
        objectAt(drag.objects[i])->modelMatrix = movedBy(drag.before[i], offset);
    message = "moving by " + std::to_string(static_cast<int>(offset.x / kCellSize)) + ", " +
              std::to_string(static_cast<int>(offset.z / kCellSize)) + " cells";
}

void Editor::endDrag() {
    if (!drag.open)
        return;
    drag.open = false;
    std::vector<glm::mat4> after;
    for (std::size_t i = 0; i < drag.objects.size(); ++i) {
        after.push_back(movedBy(drag.before[i], drag.offset));
        objectAt(drag.objects[i])->modelMatrix = drag.before[i];
    }
    changeAll(drag.objects, after);
}

bool Editor::copySelection() {
    endGesture();
    std::vector<ObjectRef> all = selection();
    if (all.empty()) {
        message = "nothing to copy: nothing selected";
        return false;
    }
    // Pieces first, in course order, then the rings.
    std::sort(all.begin(), all.end(), [](const ObjectRef& a, const ObjectRef& b) {
        return a.ring != b.ring ? b.ring : a.index < b.index;
    });
    clipboard.clear();
    for (const ObjectRef& o : all) {
        Copied item;
        item.ring = o.ring;
        item.model = objectAt(o)->modelMatrix;
        if (const auto* piece = dynamic_cast<const scene::TrackBase*>(objectAt(o)))
            item.pieceName = piece->pieceName;
        clipboard.push_back(item);
    }
    message = "copied " + std::to_string(all.size()) + (all.size() == 1 ? " object" : " objects");
    return true;
}

bool Editor::paste(const glm::vec3& camera, const glm::vec3& facing) {
    endGesture();
    if (clipboard.empty()) {
        message = "nothing to paste: copy with Left Control+C first";
        return false;
    }
    if (!courseHasRoom(entryCount(), clipboard.size())) {
        message = "not pasted: the course has " + std::to_string(entryCount()) + " of " +
                  std::to_string(kMaxCourseEntries) + " entries, the copy " +
                  std::to_string(clipboard.size()) + " more";
        std::cout << message << std::endl;
        return false;
    }
    // The first copied object leads: joined after the selected piece when
    // it fits there, else in front of the camera; the rest keep their
    // places relative to it.
    const Copied& lead = clipboard.front();
    glm::mat4 joined;
    const auto* previous = (!ringSelected) ? dynamic_cast<const scene::TrackBase*>(selected()) : nullptr;
    glm::mat4 carry(1.0f);
    std::string where = " in front of the camera";
    if (!lead.ring && previous != nullptr &&
        joinedPlacement(previous->pieceName, previous->modelMatrix, lead.pieceName, joined)) {
        carry = joined * glm::inverse(lead.model);
        where = " after piece " + std::to_string(selectedTrack + 1);
    } else {
        const glm::vec3 ahead = camera + glm::normalize(facing) * kPasteAhead;
        carry = glm::translate(glm::mat4(1.0f), ahead - glm::vec3(lead.model[3]));
    }
    std::vector<EditStep> parts;
    std::vector<ObjectRef> pasted;
    int next[2] = {static_cast<int>(level.pieces->size()), static_cast<int>(level.rings->size())};
    for (const Copied& item : clipboard) {
        EditStep part;
        part.kind = EditStep::Place;
        part.ring = item.ring;
        part.index = next[item.ring ? 1 : 0]++;
        part.pieceName = item.pieceName;
        part.after = carry * item.model;
        if (!isFiniteMatrix(part.after)) {
            message = "not pasted: the copy does not fit there";
            return false;
        }
        parts.push_back(part);
        pasted.push_back(ObjectRef{part.ring, part.index});
    }
    recordParts(std::move(parts));
    selectAll(pasted);
    message =
        "pasted " + std::to_string(pasted.size()) + (pasted.size() == 1 ? " object" : " objects") + where;
    return true;
}

} // namespace tovi
