#pragma once
#include <functional>

namespace tovi {
class LevelFactory;

// The display keys: F2 frame rate, F3 wire frame, F4 and F5 the texture
// filters, F9 particle blending, F8 frustum culling, F1 (or its bound key) the key help.
class DisplayToggles {
  public:
    explicit DisplayToggles(LevelFactory* factory) : factory(factory) {}

    // helpKey: the key bound to the key help.
    void keys(const std::function<bool(int)>& pressed, int helpKey);

    bool showFrameRate = false;
    bool particleBlending = true;
    bool wireframe = false;
    bool nearestMagnification = false;
    bool nearestMinification = false;
    bool frustumCulling = false;
    bool showHelp = false;

  private:
    LevelFactory* factory;
};

} // namespace tovi
