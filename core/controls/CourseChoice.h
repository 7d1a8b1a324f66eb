#pragma once
#include <functional>
#include <string>

namespace tovi {
class CourseList;
class Settings;

// Left and Right (or the pad's) on the start, win and lose screens: the
// player's choice of course among the listed ones, remembered in the
// settings.
class CourseChoice {
  public:
    // Either may be null: without a list the loaded course is the only one.
    CourseChoice(CourseList* courses, Settings* settings) : courses(courses), settings(settings) {}

    // What loads a course: read from the first path, saved to the second;
    // false when it could not be loaded.
    using Switch = std::function<bool(const std::string& readPath, const std::string& savePath)>;
    // The next available course in the direction (1 or -1) that loads; a
    // course that does not load is marked unavailable and passed over.
    void step(int direction, const Switch& switchTo);

  private:
    CourseList* courses;
    Settings* settings;
};

} // namespace tovi
