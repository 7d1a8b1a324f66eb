#include "core/editor/EditHistory.h"

namespace tovi {

void EditHistory::record(const EditStep& step) {
    steps.resize(done);
    steps.push_back(step);
    if (steps.size() > kLimit)
        steps.pop_front();
    done = steps.size();
}

const EditStep* EditHistory::undo() {
    if (done == 0)
        return nullptr;
    --done;
    return &steps[done];
}

const EditStep* EditHistory::redo() {
    if (done == steps.size())
        return nullptr;
    return &steps[done++];
}

void EditHistory::clear() {
    steps.clear();
    done = 0;
}

} // namespace tovi
