#pragma once

namespace tovi {

// Draws one frame: a full-screen picture outside a race, otherwise the shadow
// pass, the scene with its HUD into the off-screen buffer, blur, composition.
void drawFrame();

} // namespace tovi
