#include "core/controls/CourseChoice.h"

#include "core/course/CourseList.h"
#include "core/player/Settings.h"

#include <iostream>

namespace tovi {

void CourseChoice::step(int direction, const Switch& switchTo) {
    if (courses == nullptr)
        return;
    for (std::size_t tries = 0; tries < courses->courses().size(); ++tries) {
        if (!courses->step(direction, std::cout))
            return;
        const CourseListEntry& course = *courses->chosenCourse();
        const CoursePaths paths = courses->pathsOf(course);
        if (switchTo(paths.read, paths.save)) {
            // Without a player's folder there is nowhere to remember it.
            if (settings != nullptr && !settings->path().empty()) {
                settings->set("course", course.file);
                settings->save(std::cout);
            }
            std::cout << "Course " << courses->chosen() + 1 << "/" << courses->courses().size() << ": "
                      << course.name << std::endl;
            return;
        }
        std::cout << '\n'; // the reader's message ends with the path
        courses->markUnavailable(courses->chosen(), std::cout);
    }
}

} // namespace tovi
