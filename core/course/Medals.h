#pragma once
// Medals: target times from a course's author time (the best time its
// designer finished it in), the medal a finish earns, and the author-time
// word of the course file. No GL and no files here.
#include <optional>
#include <ostream>
#include <string>

namespace tovi {

// Worst to best; the order is the ranking.
enum class Medal { None = 0, Bronze = 1, Silver = 2, Gold = 3, Author = 4 };
constexpr int kMedalTiers = 4; // bronze, silver, gold, author

// Longest author time a course may carry: ten minutes, in milliseconds.
constexpr double kMaxAuthorTime = 600000.0;

// The four medal times of a course, in milliseconds. Gold, silver and bronze
// are whole seconds: the next whole second above the author time times 1.06,
// 1.2 and 1.5, so always slower than the author time (21.024 s gives 23, 26
// and 32 s).
struct MedalTimes {
    double author = 0.0;
    double gold = 0.0;
    double silver = 0.0;
    double bronze = 0.0;
    double of(Medal medal) const;
};

// authorMs must be a valid author time (see validAuthorTime).
MedalTimes medalTimes(double authorMs);
// Whether ms may be an author time: finite, above zero, at most ten minutes.
bool validAuthorTime(double ms);

// The best medal a finish in raceMs earns: at or under a medal's time. With
// the race clock's time: the best medal still to be had in this run.
Medal medalFor(double raceMs, const MedalTimes& times);

// "author", "gold", "silver", "bronze", "none".
const char* medalName(Medal medal);
// The medal of that name, nothing for any other word.
std::optional<Medal> medalNamed(const std::string& name);

// "author 21.02 s, gold 23 s, silver 26 s, bronze 32 s", or "author none".
std::string medalTimesLine(std::optional<double> authorMs);
// Seconds with two decimals, cut (not rounded) at the hundredths: "21.02".
std::string secondsText(double ms);

// The course file keeps the author time as one word, "author=21024" (whole
// milliseconds), which readers that know no author time pass over.
bool isAuthorWord(const std::string& word);
std::string authorWord(double ms);
// The time in an author word; nothing, with a line naming source on log, when
// it is missing, not a number, not finite, not above zero or over ten minutes.
std::optional<double> parseAuthorWord(const std::string& word, const std::string& source, std::ostream& log);

} // namespace tovi
