// Choosing a course on the screens: Left and Right wrap round the list, pass
// over courses that cannot be read, and everything that saves writes the
// chosen course's file; the choice is remembered in the player's settings.
#include "core/course/CourseFile.h"
#include "core/course/CourseList.h"
#include "core/input/Keys.h"
#include "core/player/Settings.h"
#include "core/race/MyCollision.h"
#include "tests/core/Harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace tovi::testing {
namespace {

std::string course(int pieces, int bestTime) {
    std::string text;
    for (int i = 0; i < pieces; ++i)
        text += "straight 1 0 0 0 0 1 0 0 0 0 1 0 " + std::to_string(-4 * i) + " 60 21 1\n";
    return text + "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 61 21 1\nbesttime " + std::to_string(bestTime) + "\n";
}

double bestTimeIn(const std::string& path) {
    CourseData data;
    std::ostringstream log;
    return readCourseFile(path, data, log) ? data.bestTime : -1.0;
}

// The game's controls over a folder of courses, as scene setup builds them
// for an installed game: a course is saved to the player's folder and read
// from there once saved.
struct Chooser {
    explicit Chooser(const std::string& folder) : settings(folder + "player/settings.txt") {
        courses = std::make_unique<CourseList>(folder, log, [folder](const std::string& file) {
            const std::string saved = folder + "player/" + file;
            return CoursePaths{std::filesystem::exists(saved) ? saved : folder + file, saved};
        });
        courses->choose(settings.get("course", ""));
        ControlsContext c = h.context();
        c.trackPath = courses->startPaths().save;
        c.trackReadPath = courses->startPaths().read;
        c.courses = courses.get();
        c.settings = &settings;
        h.controls = std::make_unique<Controls>(c);
    }
    // A key held for one frame.
    void tap(int key) { h.tap(key, 150.0); }
    std::string chosenFile() const { return courses->chosenCourse()->file; }

    Harness h{"", "", false};
    std::ostringstream log;
    Settings settings;
    std::unique_ptr<CourseList> courses;
};

TEST(CourseChoice, ArrowsWrapSkipUnreadableCoursesAndSavesGoToTheChosenFile) {
    TempDir dir;
    const std::string folder = dir.path.string() + "/";
    writeText(folder + "courses.txt", "# file, then name\n1.track One\n#group Hard\n2.track Two Words\n\n"
                                      "3.track Missing\n4.track Four\n../5.track Outside\n");
    writeText(folder + "1.track", course(2, 40000));
    writeText(folder + "2.track", course(3, 50000));
    writeText(folder + "4.track", course(4, 60000));
    const std::string one = readText(folder + "1.track");
    const std::string two = readText(folder + "2.track");

    {
        Chooser game(folder);
        ASSERT_EQ(game.courses->courses().size(), 4u); // the line naming a file elsewhere is refused
        EXPECT_NE(game.log.str().find("Course 3 is unavailable"), std::string::npos);
        EXPECT_EQ(game.chosenFile(), "1.track");
        EXPECT_EQ(game.h.tracks.size(), 2u);
        EXPECT_EQ(game.courses->screenLines(game.h.controls->course.bestTime)[0], "Course 1/4");
        EXPECT_EQ(game.courses->screenLines(game.h.controls->course.bestTime)[1], "One");

        game.tap(key::Right);
        EXPECT_EQ(game.chosenFile(), "2.track");
        EXPECT_EQ(game.h.tracks.size(), 3u);
        EXPECT_EQ(game.h.race->bestTime, 50000.0);
        EXPECT_EQ(game.courses->screenLines(game.h.controls->course.bestTime)[2], "Best 00:50.00");
        EXPECT_EQ(game.courses->screenLines(game.h.controls->course.bestTime)[0], "Hard course 2/4")
            << "a group line heads the courses after it";

        game.tap(key::Right); // course 3 cannot be read: passed over
        EXPECT_EQ(game.chosenFile(), "4.track");
        EXPECT_EQ(game.h.tracks.size(), 4u);
        EXPECT_EQ(game.h.rings.size(), 1u);
        EXPECT_EQ(game.courses->message(), "Skipped course 3");
        game.tap(key::Right);
        EXPECT_EQ(game.chosenFile(), "1.track");
        game.tap(key::Left);
        EXPECT_EQ(game.chosenFile(), "4.track");
        // A gamepad's left and right do the same, a step each press.
        GamepadState& pad = game.h.input.pad;
        game.h.input.padConnected = true;
        pad.buttons[GamepadState::DpadRight] = true;
        game.h.frame(150);
        game.h.frame(150);
        EXPECT_EQ(game.chosenFile(), "1.track");
        pad.buttons[GamepadState::DpadRight] = false;
        pad.buttons[GamepadState::DpadLeft] = true;
        game.h.frame(150);
        EXPECT_EQ(game.chosenFile(), "4.track");
        pad.buttons[GamepadState::DpadLeft] = false;

        // No stepping during a race.
        game.tap(key::Enter);
        game.tap(key::Right);
        EXPECT_EQ(game.chosenFile(), "4.track");

        // A won race after C saves the reset best time as course 4 only.
        game.tap(key::C);
        game.tap(key::B);
        game.h.frame();
        EXPECT_EQ(bestTimeIn(folder + "player/4.track"), MyCollision::kResetBestTime);
        EXPECT_EQ(bestTimeIn(folder + "4.track"), 60000.0);
        for (const char* other : {"1.track", "2.track", "3.track"})
            EXPECT_FALSE(std::filesystem::exists(folder + "player/" + other)) << other;
        EXPECT_EQ(readText(folder + "1.track"), one);
        EXPECT_EQ(readText(folder + "2.track"), two);

        // From the win screen the arrows go on choosing; a course that has
        // gone since the start is passed over too, and nothing is written.
        std::filesystem::remove(folder + "1.track");
        game.tap(key::Right);
        EXPECT_EQ(game.chosenFile(), "2.track");
        EXPECT_EQ(game.h.race->state, MyCollision::StartScreen);
        EXPECT_EQ(game.courses->message(), "Skipped course 1");
        EXPECT_FALSE(std::filesystem::exists(folder + "player/1.track"));
        EXPECT_FALSE(std::filesystem::exists(folder + "player/2.track"));
        // Back on course 4, its saved best time is the one raced against.
        game.tap(key::Left);
        EXPECT_EQ(game.chosenFile(), "4.track");
        EXPECT_EQ(game.h.race->bestTime, MyCollision::kResetBestTime);
        game.tap(key::Right);
    }

    // The next start comes back to the course chosen last.
    Chooser again(folder);
    EXPECT_EQ(again.chosenFile(), "2.track");
    EXPECT_EQ(again.h.tracks.size(), 3u);

    // With no readable course the game still starts, on an empty level.
    TempDir empty;
    CourseList none(empty.path.string() + "/", again.log);
    EXPECT_EQ(none.chosen(), -1);
    EXPECT_EQ(none.startPaths().read, empty.path.string() + "/1.track");
    EXPECT_EQ(none.screenLines(0.0)[1], "can be read");
    EXPECT_FALSE(none.step(1, again.log));
}

} // namespace
} // namespace tovi::testing
