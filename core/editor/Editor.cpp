// The editor's actions on the course and its undo history.
#include "core/editor/Editor.h"

#include "core/course/CourseFile.h"
#include "core/course/CourseStore.h"
#include "core/course/LevelFactory.h"
#include "core/editor/PieceJoin.h"
#include "core/mesh/SceneObject.h"
#include "core/race/MyCollision.h"
#include "physics/PhysicsWorld.h"

#include <algorithm>
#include <iostream>

namespace tovi {

std::string describeStep(const EditStep& step) {
    if (step.kind == EditStep::Group) {
        const char* verbs[] = {"placed ", "deleted ", "moved ", "changed "};
        const int first = step.parts.empty() ? 3 : static_cast<int>(step.parts.front().kind);
        return verbs[first] + std::to_string(step.parts.size()) + " objects";
    }
    const std::string number = std::to_string(step.index + 1);
    const std::string what = step.ring ? "ring " + number : step.pieceName;
    switch (step.kind) {
    case EditStep::Place:
        return "placed " + what;
    case EditStep::Delete:
        return step.ring ? "deleted " + what : "deleted piece " + number + " (" + what + ")";
    case EditStep::Change:
    case EditStep::Group:
        break;
    }
    return std::string("moved ") + (step.ring ? "ring " : "piece ") + number;
}

Editor::Editor(const EditorLevel& l) : level(l) {}

void Editor::reset() {
    drag = Drag(); // the course it held is gone
    endGesture();
    clearWobble();
    steps.clear();
    selectedTrack = selectedRing = 0;
    ringSelected = noneSelected = false;
    alsoSelected.clear();
    message.clear();
}

void Editor::leave() {
    endGesture();
    clearWobble();
    markObjects(false);
}

scene::SceneObject* Editor::selected() const {
    if (noneSelected)
        return nullptr;
    const std::vector<scene::SceneObject*>& list = listOf(ringSelected);
    const int index = ringSelected ? selectedRing : selectedTrack;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return nullptr;
    return list[static_cast<std::size_t>(index)];
}

int Editor::selectedNumber() const {
    if (selected() == nullptr)
        return 0;
    return (ringSelected ? selectedRing : selectedTrack) + 1;
}

std::size_t Editor::entryCount() const {
    return level.pieces->size() + level.rings->size();
}

std::string Editor::objectName(bool ring, int index) const {
    const std::string number = std::to_string(index + 1);
    if (ring)
        return "ring " + number;
    const auto* piece = dynamic_cast<const scene::TrackBase*>(listOf(false)[static_cast<std::size_t>(index)]);
    return "piece " + number + (piece != nullptr ? " (" + piece->pieceName + ")" : std::string());
}

void Editor::select(bool ring, int index) {
    noneSelected = false;
    alsoSelected.clear();
    ringSelected = ring;
    (ring ? selectedRing : selectedTrack) = index;
}

void Editor::clampSelection() {
    if (selectedTrack < 0 || selectedTrack >= static_cast<int>(level.pieces->size()))
        selectedTrack = 0;
    if (selectedRing < 0 || selectedRing >= static_cast<int>(level.rings->size()))
        selectedRing = 0;
}

void Editor::selectNextPiece() {
    endGesture();
    select(false, selectedTrack);
    selectedTrack = (selectedTrack == static_cast<int>(level.pieces->size()) - 1) ? 0 : selectedTrack + 1;
}

void Editor::selectNextRing() {
    endGesture();
    select(true, selectedRing);
    selectedRing = (selectedRing == static_cast<int>(level.rings->size()) - 1) ? 0 : selectedRing + 1;
}

void Editor::clearWobble() {
    if (wobbling != nullptr)
        wobbling->drawLift = 0.0f;
    wobbling = nullptr;
}

// Keeps every piece's body index equal to its place in the list.
void Editor::renumberBodies() {
    for (std::size_t i = 0; i < level.pieces->size(); ++i)
        if (auto* piece = dynamic_cast<scene::TrackBase*>((*level.pieces)[i]))
            piece->bodyIndex = static_cast<int>(i);
}

void Editor::setMatrix(bool ring, int index, const glm::mat4& model) {
    scene::SceneObject* object = listOf(ring)[static_cast<std::size_t>(index)];
    if (object->modelMatrix == model)
        return;
    object->modelMatrix = model;
    if (!ring)
        level.physics->setBodyTransform(index, model);
    ++changes;
}

void Editor::insertObject(bool ring, int index, const std::string& pieceName, const glm::mat4& model) {
    alsoSelected.clear(); // their numbers may move; a group step selects anew
    std::vector<scene::SceneObject*>& list = listOf(ring);
    if (ring) {
        list.insert(list.begin() + index, level.factory->makeRing(model));
        // Rings the race counts as passed keep their numbers.
        if (level.race != nullptr)
            for (unsigned& passed : level.race->passedRings)
                if (passed >= static_cast<unsigned>(index))
                    ++passed;
    } else {
        list.insert(list.begin() + index, level.factory->makePiece(level.objectsDir + pieceName, model));
        // The new body came last; it moves to its piece's place.
        level.physics->moveTrackBody(static_cast<int>(level.physics->trackBodies.size()) - 1, index);
        renumberBodies();
    }
    ++changes;
}

void Editor::removeObject(bool ring, int index) {
    std::vector<scene::SceneObject*>& list = listOf(ring);
    scene::SceneObject* object = list[static_cast<std::size_t>(index)];
    alsoSelected.clear();
    if (object == wobbling)
        wobbling = nullptr;
    list.erase(list.begin() + index);
    if (ring) {
        if (level.race != nullptr) {
            std::vector<unsigned>& passed = level.race->passedRings;
            passed.erase(std::remove(passed.begin(), passed.end(), static_cast<unsigned>(index)),
                         passed.end());
            for (unsigned& number : passed)
                if (number > static_cast<unsigned>(index))
                    --number;
        }
    } else {
        level.physics->removeTrackBody(index);
        renumberBodies();
    }
    level.factory->destroy(object);
    ++changes;
    // The selection stays on the same object, or on the one that took the
    // removed one's place, or on the new last one.
    int& selection = ring ? selectedRing : selectedTrack;
    if (selection > index || selection >= static_cast<int>(list.size()))
        selection = std::max(0, selection - 1);
}

bool Editor::roomForOneMore() {
    if (courseHasRoom(entryCount()))
        return true;
    const std::string line = "course is full: " + std::to_string(entryCount()) + " of " +
                             std::to_string(kMaxCourseEntries) + " entries";
    // A held key asks ten times a second: say it once while it stands.
    if (message != line)
        std::cout << "Not placed: the " << line << std::endl;
    message = line;
    return false;
}

bool Editor::place(bool ring, const std::string& kind, const glm::mat4& model) {
    endGesture();
    if (!roomForOneMore())
        return false;
    EditStep step;
    step.kind = EditStep::Place;
    step.ring = ring;
    step.index = static_cast<int>(listOf(ring).size());
    step.pieceName = kind;
    step.after = model;
    apply(step, true, false);
    steps.record(step);
    message = describeStep(step);
    return true;
}

bool Editor::placeRing(const glm::mat4& model) {
    return place(true, std::string(), model);
}

bool Editor::placePiece(const std::string& kind, const glm::mat4& model) {
    return place(false, kind, model);
}

bool Editor::placeJoined(const std::string& kind) {
    endGesture();
    glm::mat4 model = firstPlacement(level.physics->raceStart);
    std::string where = " under the race start";
    if (!level.pieces->empty()) {
        const auto* previous = ringSelected ? nullptr : dynamic_cast<const scene::TrackBase*>(selected());
        if (previous == nullptr) {
            message = "nothing to join to: select a piece with U";
            return false;
        }
        if (!joinedPlacement(previous->pieceName, previous->modelMatrix, kind, model)) {
            message = "cannot join to a " + previous->pieceName;
            return false;
        }
        where = " after piece " + std::to_string(selectedTrack + 1);
    }
    if (!placePiece(kind, model))
        return false;
    select(false, static_cast<int>(level.pieces->size()) - 1);
    message += where;
    return true;
}

scene::SceneObject* Editor::selectedFor(const char* action) {
    endGesture();
    scene::SceneObject* object = selected();
    if (object == nullptr)
        message = std::string("nothing to ") + action + ": " +
                  (noneSelected   ? "nothing selected"
                   : ringSelected ? "no rings"
                                  : "no pieces");
    return object;
}

void Editor::apply(const EditStep& step, bool forward, bool selectIt) {
    if (step.kind == EditStep::Group) {
        // Forward in order, back in reverse; what stands afterwards is selected.
        std::vector<ObjectRef> standing;
        const std::size_t n = step.parts.size();
        for (std::size_t i = 0; i < n; ++i) {
            const EditStep& part = step.parts[forward ? i : n - 1 - i];
            apply(part, forward, false);
            if (part.kind == EditStep::Change || (part.kind == EditStep::Place) == forward)
                standing.push_back(ObjectRef{part.ring, part.index});
        }
        if (selectIt && !standing.empty())
            selectAll(standing);
        return;
    }
    const bool adds = (step.kind == EditStep::Place) == forward;
    switch (step.kind) {
    case EditStep::Place:
    case EditStep::Delete:
        if (adds) {
            insertObject(step.ring, step.index, step.pieceName,
                         step.kind == EditStep::Place ? step.after : step.before);
            if (selectIt)
                select(step.ring, step.index);
        } else {
            removeObject(step.ring, step.index);
        }
        break;
    case EditStep::Change:
        setMatrix(step.ring, step.index, forward ? step.after : step.before);
        if (selectIt)
            select(step.ring, step.index);
        break;
    case EditStep::Group:
        break;
    }
}

bool Editor::travel(bool forward) {
    endGesture();
    const EditStep* step = forward ? steps.redo() : steps.undo();
    if (step == nullptr) {
        message = forward ? "nothing to redo" : "nothing to undo";
        return false;
    }
    apply(*step, forward, true);
    message = (forward ? "redid: " : "undid: ") + describeStep(*step);
    return true;
}

bool Editor::undo() {
    return travel(false);
}

bool Editor::redo() {
    return travel(true);
}

} // namespace tovi
