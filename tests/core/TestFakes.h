#pragma once
// Stand-ins for the window and the GL-side level objects, so the controls,
// the race and the editor run against the real physics world without GL.
#include "core/controls/Controls.h"
#include "core/input/Input.h"
#include "core/mesh/SceneObject.h"
#include "core/system/Clock.h"
#include "physics/PhysicsWorld.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tovi::testing {

class ScriptedInput : public InputSource {
  public:
    bool keyPressed(int key) override { return keys.count(key) != 0; }
    bool keyWentDown(int key) override { return wentDown.count(key) != 0; }
    void cursorPos(double& x, double& y) override {
        x = cursorX;
        y = cursorY;
    }
    void setCursorPos(double x, double y) override {
        cursorX = x;
        cursorY = y;
        ++recentred;
    }
    double time() override { return seconds; }
    bool mouseButton(int button) override { return buttons.count(button) != 0; }
    void showCursor(bool shown) override { cursorShown = shown; }
    std::set<int> buttons;
    bool cursorShown = false;
    bool focused() override { return hasFocus; }
    bool gamepad(GamepadState& state) override {
        if (padConnected)
            state = pad;
        return padConnected;
    }

    void press(int key) {
        keys.insert(key);
        wentDown.insert(key);
    }
    void release(int key) { keys.erase(key); }
    void releaseAll() { keys.clear(); }

    std::set<int> keys;
    std::set<int> wentDown; // since the last frame (the harness clears it)
    double cursorX = 500.0;
    double cursorY = 390.0;
    double seconds = 0.0;
    bool hasFocus = true;
    int recentred = 0;
    bool padConnected = false;
    GamepadState pad;
};

class FakePiece : public scene::TrackBase {
  public:
    FakePiece(const glm::mat4& m, const std::string& meshPath, PhysicsWorld* world) : TrackBase(m, meshPath) {
        // A flat square on a 4 x 4 cell, reaching past it along x as far as
        // the shipped pieces' lips do (2.33 at the entry, 2.21 at the exit).
        std::vector<glm::vec3> square = {{-2.33f, 0, -2}, {2.21f, 0, -2}, {2.21f, 0, 2},
                                         {-2.33f, 0, -2}, {2.21f, 0, 2},  {-2.33f, 0, 2}};
        if (world != nullptr)
            bodyIndex = world->addTrackBody(square, modelMatrix);
    }
    void draw() override {}
    void drawShadow() override {}
};

class FakeRing : public scene::SceneObject {
  public:
    explicit FakeRing(const glm::mat4& m) : SceneObject(m) {}
    void update(float) override {}
    void draw() override {}
    void drawShadow() override {}
};

class FakeBall : public scene::SceneObject {
  public:
    void update(float) override { positionsAtUpdate.push_back(glm::vec3(modelMatrix[3])); }
    void draw() override {}
    void drawShadow() override {}
    std::vector<glm::vec3> positionsAtUpdate;
};

class FakeFactory : public LevelFactory {
  public:
    explicit FakeFactory(PhysicsWorld* w) : world(w) {}
    ~FakeFactory() override {
        for (auto* o : made)
            delete o;
    }
    scene::SceneObject* makePiece(const std::string& meshPath, const glm::mat4& m) override {
        made.push_back(new FakePiece(m, meshPath, world));
        return made.back();
    }
    scene::SceneObject* makeRing(const glm::mat4& m) override {
        made.push_back(new FakeRing(m));
        return made.back();
    }
    void destroy(scene::SceneObject* object) override {
        for (auto it = made.begin(); it != made.end(); ++it)
            if (*it == object) {
                delete object;
                made.erase(it);
                return;
            }
    }
    void applyMagnificationFilter(bool nearest) override { magnification.push_back(nearest); }
    void applyMinificationFilter(bool nearest) override { minification.push_back(nearest); }

    PhysicsWorld* world;
    std::vector<scene::SceneObject*> made;
    std::vector<bool> magnification;
    std::vector<bool> minification;
};

// A private folder that disappears with the test.
class TempDir {
  public:
    TempDir() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("zentaro-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A hand-driven millisecond clock for the race and the debounce.
class ManualTicks {
  public:
    ManualTicks() {
        setTickSource([this] { return now; });
    }
    ~ManualTicks() { setTickSource(nullptr); }
    double now = 100000.0;
};

} // namespace tovi::testing
