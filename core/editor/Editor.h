#pragma once
// The level editor: places, selects, moves, turns, scales, joins, snaps and
// deletes the course's pieces and rings, with an undo history. The controls
// run it once a frame in edit mode and do the flying and saving themselves.
#include "core/editor/EditHistory.h"
#include "core/editor/Picking.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tovi {
class InputSource;
class KeyPresses;
class LevelFactory;
class MyCollision;
class PhysicsWorld;
namespace scene {
class SceneObject;
}

// What the editor works on. The piece list and the world's track bodies stay
// parallel: piece i has body i.
// One object of the course: a ring or a piece, by its place in its list.
struct ObjectRef {
    bool ring = false;
    int index = 0;
    bool operator==(const ObjectRef& o) const { return ring == o.ring && index == o.index; }
};

struct EditorLevel {
    LevelFactory* factory = nullptr;
    std::vector<scene::SceneObject*>* pieces = nullptr;
    std::vector<scene::SceneObject*>* rings = nullptr;
    PhysicsWorld* physics = nullptr;
    MyCollision* race = nullptr; // its passed rings follow ring deletions; may be null
    std::string objectsDir;      // the piece meshes, e.g. "Kobuldo/Objects/V2/"
};

// What typed values leave as each selected object has it (the property
// panel's fields the designer did not change).
struct KeepOwn {
    bool turn = false;
    glm::bvec3 scale{false};
};

class Editor {
  public:
    explicit Editor(const EditorLevel& level);

    // One frame of the editor's keys: presses tells which keys went down
    // (one press, one action; undo and redo repeat when held); camera is
    // where plain placements go.
    void frame(InputSource& input, float dt, const glm::vec3& camera, KeyPresses& presses);
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

    // The mouse. A click selects what the pick names, or clears the
    // selection on nothing; with add (Left Control) it adds the object to
    // the selection or takes it out.
    void click(const Pick& pick, bool add);
    void clearSelection();
    // These become the selection, the first one the keys' aim.
    void selectAll(const std::vector<ObjectRef>& objects);
    // Every selected object, the one the keys aim at first.
    std::vector<ObjectRef> selection() const;
    bool isSelected(const ObjectRef& object) const;
    // A drag of the selection: starts where the ray meets the level of the
    // selected object the cursor is on (false when it is on none of them),
    // follows the cursor in whole cells (with height, in half units up and
    // down) and ends as one step, the collision bodies placed only then.
    bool beginDrag(const Ray& ray);
    void dragTo(const Ray& ray, bool height);
    void endDrag();
    bool dragging() const { return drag.open; }
    // Typed values for the selection: the first selected object goes to
    // position (the others keep their places relative to it); each gets the
    // turn about y (degrees) and the scale along its own axes. One step;
    // refused whole with a message on a value that is no number or out of
    // range. What keepOwn names is left as each object has it.
    bool setPlacement(const glm::vec3& position, float turnDegrees, const glm::vec3& scale,
                      const KeepOwn& keepOwn = KeepOwn());
    // Copy and paste. The paste joins the first copied piece to the selected
    // piece's exit where it fits, else goes in front of the camera (along
    // facing), keeping the copied layout; one step; the pasted objects
    // become the selection; refused whole when the course has no room.
    bool copySelection();
    bool paste(const glm::vec3& camera, const glm::vec3& facing);
    std::size_t copiedCount() const { return clipboard.size(); }
    // The piece that piece index cuts into, or -1 (kept up to date with the
    // course's changes).
    int overlapOf(int index) const;
    // Tints the selection and the pieces that cut into others (on), or
    // takes every tint off.
    void markObjects(bool on);

    // The selected object, or null when its list is empty.
    scene::SceneObject* selected() const;
    // 1-based number of the selection in its list, 0 without one.
    int selectedNumber() const;
    std::size_t entryCount() const;
    std::size_t pieceCount() const { return level.pieces->size(); }
    const EditorLevel& levelInUse() const { return level; }
    const EditHistory& history() const { return steps; }
    // Goes up with every change to the course.
    unsigned revision() const { return changes; }

    int selectedTrack = 0;
    int selectedRing = 0;
    bool ringSelected = false;
    bool noneSelected = false; // a click on nothing cleared the selection
    std::string message;       // the last action, for the HUD

  private:
    struct Gesture {
        bool open = false;
        std::vector<ObjectRef> objects;
        std::vector<glm::mat4> before;
    };
    struct Drag {
        bool open = false;
        glm::vec3 grab{0.0f};   // where the cursor took hold
        glm::vec3 offset{0.0f}; // whole cells and half units so far
        std::vector<ObjectRef> objects;
        std::vector<glm::mat4> before;
    };
    struct Copied {
        bool ring = false;
        std::string pieceName;
        glm::mat4 model{1.0f};
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
    scene::SceneObject* objectAt(const ObjectRef& o) const {
        return listOf(o.ring)[static_cast<std::size_t>(o.index)];
    }
    // Records a step made of parts: the one part, a group of several, or
    // nothing when there are none.
    void recordParts(std::vector<EditStep> parts);
    // The matrices of the objects changed as one step, bodies and all.
    bool changeAll(const std::vector<ObjectRef>& objects, const std::vector<glm::mat4>& after);
    void clampSelection();
    void clearWobble();
    void renumberBodies();
    std::vector<scene::SceneObject*>& listOf(bool ring) const { return ring ? *level.rings : *level.pieces; }
    std::string objectName(bool ring, int index) const;

    EditorLevel level;
    EditHistory steps;
    Gesture gesture;
    Drag drag;
    std::vector<ObjectRef> alsoSelected; // besides the first
    std::vector<Copied> clipboard;
    mutable std::vector<int> overlaps; // per piece, as overlapOf
    mutable unsigned overlapsAt = ~0u; // the revision they were found at
    scene::SceneObject* wobbling = nullptr;
    bool bobUp = false;
    unsigned changes = 0;
};

// "placed straight", "deleted ring 3", "moved piece 2": what a step did.
std::string describeStep(const EditStep& step);

} // namespace tovi
