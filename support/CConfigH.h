// The host's option-line record and the text helpers its consumers use.
#pragma once

#include <cstddef>
#include <cstdint>

#include <string>
#include <vector>

struct CLoggerH;

// A problem on an option line as a collecting reader keeps it: the line number and
// the report's text without the owner's prefix.
struct OptionProblem {
    std::uint32_t lineNumber;
    std::string text;
};

// One option line: keyword, arguments and the line's number in the host's file.
struct ConfigLine {
    static constexpr std::size_t maxArgs = 64;

    std::uint32_t lineNumber;
    const char* optionName;
    const char* args[maxArgs];
    std::uint32_t argCount;
    std::uint8_t used; // set to 1 by the consumer that accepts the line
    std::uint8_t fill[3];
};

// The option lines of one device's section, as the host hands them over.
struct CConfigH {
    static constexpr std::size_t maxLines = 32;

    std::uint8_t host0[4];
    const char* deviceName;
    std::uint8_t host1[268];
    ConfigLine lines[maxLines];
    std::uint32_t lineCount;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ConfigLine) == 272, "ConfigLine is a 272-byte host record");
static_assert(offsetof(ConfigLine, optionName) == 4 && offsetof(ConfigLine, args) == 8 &&
                  offsetof(ConfigLine, argCount) == 264 && offsetof(ConfigLine, used) == 268,
              "ConfigLine field offsets");
static_assert(offsetof(CConfigH, deviceName) == 4 && offsetof(CConfigH, lines) == 276 &&
                  offsetof(CConfigH, lineCount) == 8980 && sizeof(CConfigH) == 8984,
              "CConfigH field offsets");
#endif

// Lower-cases a writable text in place with the runtime's tolower.
void toLowerCase(char* text);
// -1, 0 or 1, comparing two texts without regard to letter case.
int compareNoCase(const char* a, const char* b);
// strtol with base 0: "0x" hexadecimal, leading "0" octal, else decimal.
std::int32_t toInteger(const char* text);
// Reports every valid line nobody accepted; true when there is none. With
// `collected` the reports are kept there instead of logged.
bool checkUnknownOptions(const CConfigH* config, const CLoggerH* logger,
                         std::vector<OptionProblem>* collected = nullptr);
