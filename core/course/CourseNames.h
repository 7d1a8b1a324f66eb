#pragma once
// A course's name as the course file keeps it, and the file a course of the
// player's own is saved in.
//
// The name is one word of the course file, "name=" and the name with every
// character other than a letter, digit, '-' or '_' written as %XX (two
// upper-case hex digits): "name=Left%20and%20right". A reader that does not
// know the word passes over it like any other, and no name can turn into
// pieces or numbers.
#include <functional>
#include <string>

namespace tovi {

constexpr const char* kCourseNameWord = "name=";

// "name=" and the escaped name.
std::string courseNameWord(const std::string& name);
// The name from a word that starts with "name="; false (name untouched) when
// the escapes are broken or the name is not one a course may have (see
// courseNameProblem).
bool parseCourseNameWord(const std::string& word, std::string& name);

// The file a course named so is saved in: the name's letters, digits, '-'
// and '_' (a run of anything else becomes one '-') and ".track", "course"
// when nothing is left. taken(file) says whether a file name is used (a
// shipped course's, another course's): then "-2", "-3" ... is added until a
// free one is found (empty when none is, after many tries).
std::string ownCourseFileName(const std::string& name, const std::function<bool(const std::string&)>& taken);

} // namespace tovi
