// Reading the values of option lines: decimal numbers and unit words.
#include "OptionValues.h"

#include "support/CConfigH.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

// A decimal number as strtod reads one, without its hexadecimal, infinity and NaN
// forms; text without digits reads as 0. Invalid only when it reads as zero and
// begins with a letter, so "-x" and "" are 0 while "abc" and "e5" are refused.
bool readOptionNumber(const char* text, float& value) {
    const char* end = text;
    while (*end == ' ' || (*end >= '\t' && *end <= '\r')) {
        ++end;
    }
    const char* start = end;
    if (*end == '+' || *end == '-') {
        ++end;
    }
    bool digits = false;
    for (; isDigit(*end); ++end) {
        digits = true;
    }
    if (*end == '.') {
        for (++end; isDigit(*end); ++end) {
            digits = true;
        }
    }
    if (digits && (*end == 'e' || *end == 'E')) {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-') {
            ++exponent;
        }
        if (isDigit(*exponent)) {
            for (end = exponent; isDigit(*end); ++end) {
            }
        }
    }
    const double read = digits ? std::strtod(std::string(start, end).c_str(), nullptr) : 0.0;
    if (read == 0.0 && isLetter(text[0])) {
        return false;
    }
    // Beyond the float range the value becomes an infinity rather than undefined.
    if (std::fabs(read) > FLT_MAX) {
        constexpr float infinity = std::numeric_limits<float>::infinity();
        value = read > 0.0 ? infinity : -infinity;
    } else {
        value = static_cast<float>(read);
    }
    return true;
}

// Factor from the unit word to feet.
bool readUnitWord(const char* text, float& factor) {
    static const struct {
        const char* word;
        float factor;
    } units[] = {{"feet", 1.0f},
                 {"inches", 1.0f / 12.0f},
                 {"meters", 3.28084f},
                 {"m", 3.28084f},
                 {"cm", 0.0328084f}};
    for (const auto& unit : units) {
        if (compareNoCase(text, unit.word) == 0) {
            factor = unit.factor;
            return true;
        }
    }
    return false;
}

bool readSwitchWord(const char* word, bool& value) {
    if (compareNoCase(word, "yes") == 0 || compareNoCase(word, "on") == 0) {
        value = true;
        return true;
    }
    if (compareNoCase(word, "no") == 0 || compareNoCase(word, "off") == 0) {
        value = false;
        return true;
    }
    return false;
}
