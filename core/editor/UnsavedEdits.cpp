#include "core/editor/UnsavedEdits.h"

#include <memory>

namespace tovi {

void UnsavedEdits::clean(unsigned revision) {
    seenRevision = revision;
    unsaved = false;
    behind = false;
}

void UnsavedEdits::edited(double now) {
    unsaved = true;
    if (!behind) {
        behind = true;
        firstBehind = now;
    }
}

void UnsavedEdits::follow(unsigned revision, double now) {
    if (revision == seenRevision)
        return;
    seenRevision = revision;
    edited(now);
}

void UnsavedEdits::renamed(double now) {
    edited(now);
}

void UnsavedEdits::restored(unsigned revision) {
    seenRevision = revision;
    unsaved = true;
    behind = false;
}

bool UnsavedEdits::recoveryDue(double now) const {
    return behind && now - firstBehind >= kRecoveryDelay;
}

std::string recoveryPathFor(const std::string& coursePath) {
    return coursePath.empty() ? coursePath : coursePath + ".recover";
}

bool leaveCourse(ModalStack& modals, bool unsaved, const std::string& name, const std::function<bool()>& save,
                 const std::function<void()>& drop, const std::function<void()>& go) {
    if (!unsaved) {
        go();
        return true;
    }
    modals.open(
        std::make_unique<Question>(std::vector<std::string>{"Save changes to " + name + "?", "Y / N / Esc"},
                                   [save, drop, go](Question::Answer answer) {
                                       if (answer == Question::Answer::Yes && save())
                                           go();
                                       else if (answer == Question::Answer::No) {
                                           drop();
                                           go();
                                       }
                                   }));
    return false;
}

} // namespace tovi
