#include "core/controls/DisplayToggles.h"

#include "core/course/LevelFactory.h"
#include "core/input/Keys.h"

namespace tovi {

void DisplayToggles::keys(const std::function<bool(int)>& debounced, int helpKey) {
    if (debounced(key::F2))
        showFrameRate = !showFrameRate;
    if (debounced(key::F3))
        wireframe = !wireframe;
    if (debounced(key::F4)) {
        nearestMagnification = !nearestMagnification;
        factory->applyMagnificationFilter(nearestMagnification);
    }
    if (debounced(key::F5)) {
        nearestMinification = !nearestMinification;
        factory->applyMinificationFilter(nearestMinification);
    }
    if (debounced(key::F9))
        particleBlending = !particleBlending;
    if (debounced(key::F8))
        frustumCulling = !frustumCulling;
    if (debounced(helpKey))
        showHelp = !showHelp;
}

} // namespace tovi
