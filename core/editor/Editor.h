#pragma once
// The level editor: places, selects, moves, turns, scales, joins, snaps and
// deletes the course's pieces and rings, with an undo history. The controls
// run it once a frame in edit mode and do the flying and saving themselves.
#include "core/editor/EditHistory.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tovi {
class InputSource;
class LevelFactory;
class MyCollision;
class PhysicsWorld;
namespace scene {
class SceneObject;
}

// What the editor works on. The piece list and the world's track bodies stay
// parallel: piece i has body i.
struct EditorLevel {
    LevelFactory* factory = nullptr;
    std::vector<scene::SceneObject*>* pieces = nullptr;
    std::vector<scene::SceneObject*>* rings = nullptr;
    PhysicsWorld* physics = nullptr;
    MyCollision* race = nullptr; // its passed rings follow ring deletions; may be null
    std::string objectsDir;      // the piece meshes, e.g. "Kobuldo/Objects/V2/"
};

class Editor {
  public:
    explicit Editor(const EditorLevel& level);

    // One frame of the editor's keys. debounced(key) tells whether a key
    // press counts now (and restarts the debounce gap); camera is where
    // plain placements go.
    void frame(InputSource& input, float dt, const glm::vec3& camera,
               const std::function<bool(int)>& debounced);
    // Edit mode ends: a held gesture ends and the wobble is undrawn.
    void leave();
    // The course was loaded anew: nothing selected, nothing to undo.
    void reset();

    // The editor's actions. Each says on the HUD what it did or why not;
    // false when nothing changed.
    bool placeRing(const glm::mat4& model);
    bool placePiece(const std::string& kind, const glm::mat4& model);
    // The piece joined to the exit of the selected one (the first piece of
    // an empty course goes under the race start), and selected.
    bool placeJoined(const std::string& kind);
    bool deleteSelection();
    bool snapSelection();
    bool undo();
    bool redo();
    void selectNextPiece();
    void selectNextRing();
    void say(std::string text) { message = std::move(text); }

    // The selected object, or null when its list is empty.
    scene::SceneObject* selected() const;
    // 1-based number of the selection in its list, 0 without one.
    int selectedNumber() const;
    std::size_t entryCount() const;
    std::size_t pieceCount() const { return level.pieces->size(); }
    const EditHistory& history() const { return steps; }
    // Goes up with every change to the course.
    unsigned revision() const { return changes; }

    int selectedTrack = 0;
    int selectedRing = 0;
    bool ringSelected = false;
    std::string message; // the last action, for the HUD

  private:
    struct Gesture {
        bool open = false;
        bool ring = false;
        int index = 0;
        glm::mat4 before{1.0f};
    };

    bool place(bool ring, const std::string& kind, const glm::mat4& model);
    // The selection for an action, after ending a held gesture; null (and
    // "nothing to <action>: ..." said) when its list is empty.
    scene::SceneObject* selectedFor(const char* action);
    // Undoes (forward false) or redoes one step.
    bool travel(bool forward);
    void editSelection(InputSource& input, float dt);
    void endGesture();
    bool roomForOneMore();
    void setMatrix(bool ring, int index, const glm::mat4& model);
    void insertObject(bool ring, int index, const std::string& pieceName, const glm::mat4& model);
    void removeObject(bool ring, int index);
    // Does (forward) or takes back a step; selectIt selects what it adds or changes.
    void apply(const EditStep& step, bool forward, bool selectIt);
    void select(bool ring, int index);
    void clampSelection();
    void clearWobble();
    void renumberBodies();
    std::vector<scene::SceneObject*>& listOf(bool ring) const { return ring ? *level.rings : *level.pieces; }
    std::string objectName(bool ring, int index) const;

    EditorLevel level;
    EditHistory steps;
    Gesture gesture;
    scene::SceneObject* wobbling = nullptr;
    bool bobUp = false;
    unsigned changes = 0;
};

// "placed straight", "deleted ring 3", "moved piece 2": what a step did.
std::string describeStep(const EditStep& step);

} // namespace tovi
