#include "core/course/Medals.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tovi {

namespace {

constexpr const char* kAuthorPrefix = "author=";

// The next whole second above authorMs * percent / 100, in milliseconds.
// Whole milliseconds and whole percent keep the product exact, so a value
// that lands on a whole second (25 s * 1.2 = 30 s) goes on to the next one.
double nextSecondAbove(double authorMs, std::int64_t percent) {
    const auto ms = static_cast<std::int64_t>(std::llround(authorMs));
    const std::int64_t scaled = ms * percent; // milliseconds * 100
    return static_cast<double>((scaled / 100000 + 1) * 1000);
}

} // namespace

double MedalTimes::of(Medal medal) const {
    switch (medal) {
    case Medal::Author:
        return author;
    case Medal::Gold:
        return gold;
    case Medal::Silver:
        return silver;
    case Medal::Bronze:
        return bronze;
    case Medal::None:
        break;
    }
    return 0.0;
}

bool validAuthorTime(double ms) {
    return std::isfinite(ms) && ms > 0.0 && ms <= kMaxAuthorTime;
}

MedalTimes medalTimes(double authorMs) {
    MedalTimes times;
    times.author = std::round(authorMs);
    times.gold = nextSecondAbove(authorMs, 106);
    times.silver = nextSecondAbove(authorMs, 120);
    times.bronze = nextSecondAbove(authorMs, 150);
    return times;
}

Medal medalFor(double raceMs, const MedalTimes& times) {
    for (Medal medal : {Medal::Author, Medal::Gold, Medal::Silver, Medal::Bronze}) {
        if (raceMs <= times.of(medal))
            return medal;
    }
    return Medal::None;
}

const char* medalName(Medal medal) {
    switch (medal) {
    case Medal::Author:
        return "author";
    case Medal::Gold:
        return "gold";
    case Medal::Silver:
        return "silver";
    case Medal::Bronze:
        return "bronze";
    case Medal::None:
        break;
    }
    return "none";
}

std::optional<Medal> medalNamed(const std::string& name) {
    for (Medal medal : {Medal::None, Medal::Bronze, Medal::Silver, Medal::Gold, Medal::Author}) {
        if (name == medalName(medal))
            return medal;
    }
    return std::nullopt;
}

std::string secondsText(double ms) {
    const double hundredths = std::floor(ms / 10.0 + 1e-6);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.2f", hundredths / 100.0);
    return buffer;
}

std::string medalTimesLine(std::optional<double> authorMs) {
    if (!authorMs || !validAuthorTime(*authorMs))
        return "author none";
    const MedalTimes times = medalTimes(*authorMs);
    auto whole = [](double ms) { return std::to_string(static_cast<long long>(ms / 1000.0)); };
    return "author " + secondsText(times.author) + " s, gold " + whole(times.gold) + " s, silver " +
           whole(times.silver) + " s, bronze " + whole(times.bronze) + " s";
}

bool isAuthorWord(const std::string& word) {
    return word.compare(0, 7, kAuthorPrefix) == 0;
}

std::string authorWord(double ms) {
    return kAuthorPrefix + std::to_string(static_cast<long long>(std::llround(ms)));
}

std::optional<double> parseAuthorWord(const std::string& word, const std::string& source, std::ostream& log) {
    const std::string number = isAuthorWord(word) ? word.substr(7) : std::string();
    const char* begin = number.c_str();
    char* end = nullptr;
    const double value = number.empty() ? 0.0 : std::strtod(begin, &end);
    const bool parsed = !number.empty() && end != begin && *end == '\0';
    // Kept in whole milliseconds: 0.4 is no time, 600000.6 is over the limit.
    if (parsed && validAuthorTime(std::round(value)))
        return std::round(value);
    log << "Ignoring the author time in " << source << " (\"" << word.substr(0, 40)
        << (word.size() > 40 ? "..." : "")
        << "\"): " << (!parsed ? "not a number" : "not a time above zero and at most ten minutes")
        << "; the course has no author time\n";
    return std::nullopt;
}

} // namespace tovi
