#pragma once
#include <string>
#include <vector>

namespace tovi {
class CourseList;
class InputSource;
class KeyBindings;
class LevelFactory;
class ModalStack;
class MyCollision;
class PhysicsWorld;
class Settings;
class Progress;
struct CourseData;
namespace scene {
class SceneObject;
}

// What the controls work on; scene setup fills it from the process-wide
// references.
struct ControlsContext {
    InputSource* input = nullptr;
    LevelFactory* factory = nullptr;
    std::vector<scene::SceneObject*>* tracks = nullptr;
    std::vector<scene::SceneObject*>* rings = nullptr;
    PhysicsWorld* physicsWorld = nullptr;
    MyCollision* myCollision = nullptr;
    int screenWidth = 1000;
    int screenHeight = 780;
    // Where the course is saved, and where it is read from when that differs
    // (the installed course until the player has saved their own).
    std::string trackPath = "Kobuldo/Tracks/1.track";
    std::string trackReadPath;
    // That course as set-up read it already (for the start screen), and
    // whether it could; null: the controls read it.
    const CourseData* startCourse = nullptr;
    bool startCourseRead = false;
    // The courses Left and Right step through on the start, win and lose
    // screens, and where the last chosen one is remembered; either may be
    // null (then the course above is the only one).
    CourseList* courses = nullptr;
    Settings* settings = nullptr;
    // The player's best times and medals; null: none kept.
    Progress* progress = nullptr;
    // The player's keys for the race actions; null: the usual keys.
    const KeyBindings* keys = nullptr;
    // The questions and fields the game feeds with keys while they are open
    // (input then is the gate over the window); null: the controls keep
    // their own.
    ModalStack* modals = nullptr;
};

} // namespace tovi
