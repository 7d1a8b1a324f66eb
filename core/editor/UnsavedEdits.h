#pragma once
// Never losing an edit: whether the course on screen differs from its file,
// when its recovery copy is due, and what leaving it asks.
//
// An edit is anything that enters or walks the editor's undo history (the
// editor's revision goes up) and a new name. While the course has unsaved
// edits, a recovery copy of it is written beside the course file as
// "<file>.recover" at most kRecoveryDelay seconds after the first edit it
// does not hold yet, so a crash loses at most that much work; a save or
// dropping the edits removes it.
#include "core/input/ModalStack.h"

#include <functional>
#include <string>

namespace tovi {

class UnsavedEdits {
  public:
    static constexpr double kRecoveryDelay = 10.0;

    // The course on screen is its file as it stands (loaded, saved, edits
    // dropped); revision is the editor's revision then.
    void clean(unsigned revision);
    // Once a frame: the editor's revision and the clock notice edits.
    void follow(unsigned revision, double now);
    // The course's name changed.
    void renamed(double now);
    // Edits were restored from a recovery copy: unsaved, and the copy holds them.
    void restored(unsigned revision);

    bool dirty() const { return unsaved; }
    // Whether the recovery copy should be written now (then call recoveryWritten).
    bool recoveryDue(double now) const;
    void recoveryWritten() { behind = false; }

  private:
    void edited(double now);

    unsigned seenRevision = 0;
    bool unsaved = false;
    bool behind = false;      // edits the recovery copy lacks
    double firstBehind = 0.0; // when the oldest of them was made
};

// The recovery copy of a course saved at path.
std::string recoveryPathFor(const std::string& coursePath);

// Leaving a course (another course, another course's race, quitting, a new
// course): with nothing unsaved, go() at once. Otherwise asks "Save changes
// to <name>? Y / N / Esc": Y saves and goes on when save() succeeds (a save
// that fails says why and stays), N calls drop() and goes on, Escape stays.
// Returns whether it went at once.
bool leaveCourse(ModalStack& modals, bool unsaved, const std::string& name, const std::function<bool()>& save,
                 const std::function<void()>& drop, const std::function<void()>& go);

} // namespace tovi
