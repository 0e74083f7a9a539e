// Reading the host's option lines: reports, argument checks, numbers and words.
#include "OptionReader.h"

#include "CLoggerH.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

bool isOptionDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isOptionLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

namespace {

// The end of the decimal number at `start`: optional sign, digits with an optional
// fraction, an exponent only after digits. `digits` tells whether there were any.
const char* decimalEnd(const char* start, bool& digits) {
    const char* end = start;
    if (*end == '+' || *end == '-') {
        ++end;
    }
    digits = false;
    for (; isOptionDigit(*end); ++end) {
        digits = true;
    }
    if (*end == '.') {
        for (++end; isOptionDigit(*end); ++end) {
            digits = true;
        }
    }
    if (digits && (*end == 'e' || *end == 'E')) {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-') {
            ++exponent;
        }
        if (isOptionDigit(*exponent)) {
            for (end = exponent; isOptionDigit(*end); ++end) {
            }
        }
    }
    return end;
}

} // namespace

void OptionReports::report(const ConfigLine& line, const char* reason, const char* label) {
    if (collected != nullptr) {
        collected->push_back(
            {line.lineNumber,
             reason + (label + (" at line " + std::to_string(line.lineNumber))) + '.'});
    } else {
        logger.error(prefix) << reason << label << " at line " << line.lineNumber << '.';
    }
    anyFailed = true;
}

void OptionReports::report(const ConfigLine& line, const std::string& text) {
    if (collected != nullptr) {
        collected->push_back({line.lineNumber, text});
    } else {
        logger.error(prefix) << text;
    }
    anyFailed = true;
}

bool OptionLine::fail(const char* reason) const {
    reports.report(line, reason, row.label);
    return false;
}

bool OptionLine::failWith(const std::string& text) const {
    reports.report(line, text);
    return false;
}

bool OptionLine::countIn(std::uint32_t least, std::uint32_t most) const {
    if (count() < least) {
        return fail(optionReason::incomplete);
    }
    if (count() > most) {
        return fail(optionReason::tooMany);
    }
    return true;
}

bool OptionLine::numbers(std::uint32_t first, std::uint32_t n, float* values) const {
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!readOptionNumber(arg(first + i), values[i])) {
            return fail(optionReason::invalidArg);
        }
    }
    return true;
}

bool OptionLine::unitScale(float* values, std::uint32_t n) const {
    float factor = 1.0f;
    const std::uint32_t index = row.mostArgs;
    if (count() >= index && !readUnitWord(row.units, arg(index), factor)) {
        return fail(row.unitReason);
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        values[i] *= factor;
    }
    return true;
}

bool OptionLine::switchWord(std::uint32_t index, bool& value) const {
    return readSwitchWord(arg(index), value) || fail(optionReason::invalidString);
}

bool OptionLine::trackerId(std::uint32_t index, std::uint32_t entryCount, std::uint32_t& id) const {
    // Checked as written, before any narrowing: 4294967297 is no tracker 1.
    const std::int64_t written = readOptionInteger(arg(index));
    id = static_cast<std::uint32_t>(written);
    if (written < 1 || written > entryCount) {
        return fail(optionReason::invalidTrackerId);
    }
    return true;
}

bool readOptionNumber(const char* text, float& value) {
    const char* start = text;
    while (*start == ' ' || (*start >= '\t' && *start <= '\r')) {
        ++start;
    }
    bool digits = false;
    const char* const end = decimalEnd(start, digits);
    const double read = digits ? std::strtod(std::string(start, end).c_str(), nullptr) : 0.0;
    if (read == 0.0 && isOptionLetter(text[0])) {
        return false;
    }
    // A number beyond the float range would be stored as an infinity and turn every
    // pose it touches into NaN, so it is refused like a word.
    if (!(std::fabs(read) <= FLT_MAX)) {
        return false;
    }
    value = static_cast<float>(read);
    return true;
}

std::size_t optionNumberLength(const char* text) {
    const char* start = text;
    while (*start == ' ' || (*start >= '\t' && *start <= '\r')) {
        ++start;
    }
    bool digits = false;
    const char* const end = decimalEnd(start, digits);
    return digits ? static_cast<std::size_t>(end - text) : 0;
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

std::int64_t readOptionInteger(const char* text) {
    return std::strtoll(text, nullptr, 0);
}

std::size_t optionIntegerLength(const char* text) {
    char* end = nullptr;
    std::strtoll(text, &end, 0);
    return static_cast<std::size_t>(end - text);
}
