#include "core/controls/DisplayToggles.h"

#include "core/course/LevelFactory.h"
#include "core/input/Keys.h"

namespace tovi {

void DisplayToggles::keys(const std::function<bool(int)>& pressed, int helpKey) {
    if (pressed(key::F2))
        showFrameRate = !showFrameRate;
    if (pressed(key::F3))
        wireframe = !wireframe;
    if (pressed(key::F4)) {
        nearestMagnification = !nearestMagnification;
        factory->applyMagnificationFilter(nearestMagnification);
    }
    if (pressed(key::F5)) {
        nearestMinification = !nearestMinification;
        factory->applyMinificationFilter(nearestMinification);
    }
    if (pressed(key::F9))
        particleBlending = !particleBlending;
    if (pressed(key::F8))
        frustumCulling = !frustumCulling;
    if (pressed(helpKey))
        showHelp = !showHelp;
}

} // namespace tovi
