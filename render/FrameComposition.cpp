#include "render/FrameComposition.h"

namespace tovi {

void drawFrame() {}

} // namespace tovi
