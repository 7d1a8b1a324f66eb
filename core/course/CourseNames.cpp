#include "core/course/CourseNames.h"

#include "core/input/NameField.h"

#include <cctype>

namespace tovi {

namespace {

bool plainNameChar(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '_';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string courseNameWord(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string word = kCourseNameWord;
    for (unsigned char c : name) {
        if (plainNameChar(c)) {
            word.push_back(static_cast<char>(c));
        } else {
            word.push_back('%');
            word.push_back(kHex[c >> 4]);
            word.push_back(kHex[c & 15]);
        }
    }
    return word;
}

bool parseCourseNameWord(const std::string& word, std::string& name) {
    const std::string prefix = kCourseNameWord;
    if (word.compare(0, prefix.size(), prefix) != 0)
        return false;
    std::string decoded;
    for (std::size_t i = prefix.size(); i < word.size(); ++i) {
        if (decoded.size() > kMaxCourseName)
            return false;
        if (word[i] != '%') {
            if (!plainNameChar(static_cast<unsigned char>(word[i])))
                return false;
            decoded.push_back(word[i]);
            continue;
        }
        if (i + 2 >= word.size())
            return false;
        const int high = hexValue(word[i + 1]);
        const int low = hexValue(word[i + 2]);
        if (high < 0 || low < 0)
            return false;
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    if (!courseNameProblem(decoded).empty())
        return false;
    name = decoded;
    return true;
}

std::string ownCourseFileName(const std::string& name, const std::function<bool(const std::string&)>& taken) {
    std::string stem;
    for (unsigned char c : name) {
        if (plainNameChar(c))
            stem.push_back(static_cast<char>(c));
        else if (!stem.empty() && stem.back() != '-')
            stem.push_back('-');
    }
    while (!stem.empty() && stem.back() == '-')
        stem.pop_back();
    if (stem.empty())
        stem = "course";
    constexpr int kTries = 1000;
    for (int n = 1; n <= kTries; ++n) {
        const std::string file = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".track";
        if (!taken || !taken(file))
            return file;
    }
    return "";
}

} // namespace tovi
