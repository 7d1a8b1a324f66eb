// A player's own courses: found in their folder beside the shipped ones,
// named inside the file, saved under a file name made from the name, and
// never left behind unsaved without a question.
#include "core/course/CourseFile.h"
#include "core/course/CourseNames.h"
#include "core/course/OwnCourses.h"
#include "core/editor/UnsavedEdits.h"
#include "core/input/Keys.h"
#include "tests/core/TestFakes.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tovi::testing {
namespace {

const std::string kRing = "ring 1 0 0 0 0 1 0 0 0 0 1 0 0 61 21 1\n";
const std::string kStraight = "straight 1 0 0 0 0 1 0 0 0 0 1 0 -4 60 21 1\n";

std::string namedCourse(const std::string& name) {
    return "Writing this to a file.\n" + courseNameWord(name) + "\n" + kStraight + kRing +
           "besttime 10000000\n";
}

TEST(OwnCourses, ListedAfterTheShippedOnesByNameWithUnreadableFilesMarked) {
    TempDir dir;
    const std::string folder = dir.path.string() + "/";
    writeText(folder + "1.track", kStraight + kRing);                     // shipped
    writeText(folder + "zz.track", namedCourse("Alpine"));                // own, named
    writeText(folder + "aa.track", namedCourse("Zigzag"));                // own, named
    writeText(folder + "friend.track", kStraight + kRing);                // dropped in, no name
    writeText(folder + "Alpine-2.track", namedCourse("Alpine"));          // the same name again
    writeText(folder + "empty.track", "");                                // nothing to race
    writeText(folder + "binary.track", std::string("ring\0\x01\x02", 7)); // not text
    std::string huge;
    for (int i = 0; i < 1001; ++i)
        huge += kRing;
    writeText(folder + "huge.track", huge); // over the entry limit
    writeText(folder + "notes.txt", "not a course");
    writeText(folder + "zz.track.recover", namedCourse("Alpine"));
    writeText(folder + ".zz.track.tmp-abcdef", namedCourse("Alpine"));

    std::ostringstream log;
    const std::vector<OwnCourse> own = findOwnCourses(folder, {"1.track"}, log);
    std::vector<std::string> order;
    for (const OwnCourse& course : own)
        order.push_back(course.file + ":" + course.name + (course.readable ? "" : ":unreadable"));
    EXPECT_EQ(order, (std::vector<std::string>{"Alpine-2.track:Alpine", "zz.track:Alpine",
                                               "binary.track:binary:unreadable",
                                               "empty.track:empty:unreadable", "friend.track:friend",
                                               "huge.track:huge:unreadable", "aa.track:Zigzag"}));
    // One message for each file that cannot be raced.
    for (const char* file : {"empty.track", "binary.track", "huge.track"}) {
        const std::string text = log.str();
        const std::size_t first = text.find(file);
        ASSERT_NE(first, std::string::npos) << file;
        EXPECT_EQ(text.find(file, first + 1), std::string::npos) << text;
    }
}

TEST(OwnCourses, FileNameFromTheNameNeverTakesAnotherCoursesFile) {
    std::set<std::string> taken{"1.track", "Left-and-right.track"};
    auto isTaken = [&](const std::string& file) { return taken.count(file) != 0; };
    EXPECT_EQ(ownCourseFileName("Hairpins", isTaken), "Hairpins.track");
    EXPECT_EQ(ownCourseFileName("Left and right", isTaken), "Left-and-right-2.track");
    EXPECT_EQ(ownCourseFileName("1", isTaken), "1-2.track");
    EXPECT_EQ(ownCourseFileName("../etc/passwd", isTaken), "etc-passwd.track");
    EXPECT_EQ(ownCourseFileName("?!*", isTaken), "course.track");
    EXPECT_EQ(ownCourseFileName("x", [](const std::string&) { return true; }), "");
}

TEST(OwnCourses, NameRoundTripsThroughTheFileAndLeavesTheCourseAlone) {
    const std::string name = "Left and right 100%=";
    const std::string word = courseNameWord(name);
    EXPECT_EQ(word, "name=Left%20and%20right%20100%25%3D");
    std::string back;
    ASSERT_TRUE(parseCourseNameWord(word, back));
    EXPECT_EQ(back, name);

    const glm::mat4 ring(1.0f);
    const std::string text = formatCourse({{"straight", glm::mat4(2.0f)}}, {ring}, 31500, name);
    CourseData named;
    CourseData plain;
    std::ostringstream log;
    parseCourse(text, "named", named, log);
    parseCourse(formatCourse({{"straight", glm::mat4(2.0f)}}, {ring}, 31500), "plain", plain, log);
    EXPECT_EQ(named.name, name);
    EXPECT_EQ(named.bestTime, plain.bestTime);
    ASSERT_EQ(named.entries.size(), 2u);
    EXPECT_EQ(named.entries[0].kind, "straight");
    EXPECT_EQ(named.entries[0].matrix, glm::mat4(2.0f));
    EXPECT_EQ(named.entries[1].kind, "ring");
    EXPECT_EQ(log.str(), "");

    // A name can never become pieces, and a broken one is skipped with a word.
    for (const char* bad : {"name=%2", "name=%zz", "name=", "name=%20%20", "name=a%0Ab",
                            "name=aaaaaaaaaaaaaaaaaaaaa", "name=left%20ring%201%202"}) {
        CourseData data;
        std::ostringstream said;
        parseCourse(std::string(bad) + "\nbesttime 5\n", "bad", data, said);
        EXPECT_TRUE(data.entries.empty()) << bad;
        EXPECT_EQ(data.bestTime, 5.0) << bad;
        const bool valid = std::string(bad) == "name=left%20ring%201%202";
        EXPECT_EQ(data.name.empty(), !valid) << bad;
        EXPECT_EQ(said.str().empty(), valid) << bad;
    }
}

TEST(OwnCourses, LeavingWithUnsavedEditsAsksAndRecoveryCopyFollowsTheEdits) {
    ModalStack modals;
    std::vector<std::string> done;
    bool saveWorks = true;
    auto leave = [&](bool unsaved) {
        return leaveCourse(
            modals, unsaved, "Alpine",
            [&] {
                done.push_back("save");
                return saveWorks;
            },
            [&] { done.push_back("drop"); }, [&] { done.push_back("go"); });
    };
    EXPECT_TRUE(leave(false)); // nothing unsaved: goes at once
    EXPECT_FALSE(leave(true));
    std::vector<std::string> lines;
    modals.innermost()->lines(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"Save changes to Alpine?", "Y / N / Esc"}));
    modals.keyPressed(key::Enter);  // anything else: still asking
    modals.keyPressed(key::Escape); // stays
    leave(true);
    modals.keyPressed(key::N);
    leave(true);
    modals.keyPressed(key::Y);
    saveWorks = false;
    leave(true);
    modals.keyPressed(key::Y); // the save failed: stays
    EXPECT_TRUE(modals.empty());
    EXPECT_EQ(done, (std::vector<std::string>{"go", "drop", "go", "save", "go", "save"}));

    // The recovery copy is due kRecoveryDelay after the first edit it lacks.
    UnsavedEdits edits;
    edits.clean(3);
    edits.follow(3, 0.0);
    EXPECT_FALSE(edits.dirty());
    edits.follow(4, 1.0);
    edits.follow(9, 5.0);
    EXPECT_TRUE(edits.dirty());
    EXPECT_FALSE(edits.recoveryDue(1.0 + UnsavedEdits::kRecoveryDelay - 0.5));
    EXPECT_TRUE(edits.recoveryDue(1.0 + UnsavedEdits::kRecoveryDelay));
    edits.recoveryWritten();
    EXPECT_FALSE(edits.recoveryDue(100.0));
    edits.renamed(100.0);
    EXPECT_TRUE(edits.recoveryDue(100.0 + UnsavedEdits::kRecoveryDelay));
    edits.clean(9);
    EXPECT_FALSE(edits.dirty());
    EXPECT_FALSE(edits.recoveryDue(1000.0));
    EXPECT_EQ(recoveryPathFor("Tracks/a.track"), "Tracks/a.track.recover");
}

} // namespace
} // namespace tovi::testing
