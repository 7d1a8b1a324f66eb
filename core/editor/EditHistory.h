#pragma once
// The editor's undo history: every change to the course as one step that can
// be taken back and done again. Steps name objects by list and index, which
// stay valid because steps are only ever undone and redone in order.
#include <glm/glm.hpp>

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace tovi {

struct EditStep {
    // A group is several steps done in order and taken back in reverse, as
    // one: an action on a selection of several objects.
    enum Kind { Place, Delete, Change, Group };
    Kind kind = Change;
    bool ring = false;           // a ring, else a piece
    int index = 0;               // in the ring or piece list
    std::string pieceName;       // of a placed or deleted piece
    glm::mat4 before{1.0f};      // a change's matrix before it; a deleted object's matrix
    glm::mat4 after{1.0f};       // a change's matrix after it; a placed object's matrix
    std::vector<EditStep> parts; // a group's steps
};

class EditHistory {
  public:
    // The oldest steps go beyond this many.
    static constexpr std::size_t kLimit = 100;

    // A new step; whatever was undone before it can no longer be redone.
    void record(const EditStep& step);
    // The step to take back, or null when there is nothing to undo.
    const EditStep* undo();
    // The step to do again, or null when nothing was undone.
    const EditStep* redo();
    void clear();

    std::size_t undoCount() const { return done; }
    std::size_t redoCount() const { return steps.size() - done; }

  private:
    std::deque<EditStep> steps;
    std::size_t done = 0; // steps[0 .. done) are in effect
};

} // namespace tovi
