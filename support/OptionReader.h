// Reading the host's option lines. Every owner of options (the device, the tracker
// table) has its rows in the option catalogue and one table of (topic, reader)
// pairs; one walk over the lines hands each line to the reader of the row one of
// whose spellings it has, and every problem is reported in one style: the owner's
// prefix, a reason, the row's label, " at line ", the line number and ".", as in
// "C3DBird: Too many args found for Reset at line 12.".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CConfigH.h"
#include "OptionCatalogue.h"

struct CLoggerH;

// The reasons of the reports.
namespace optionReason {
constexpr char incomplete[] = "Incomplete option line found for ";
constexpr char tooMany[] = "Too many args found for ";
constexpr char invalidArg[] = "Invalid arg found for ";
constexpr char invalidUnit[] = "Invalid unit found for ";
constexpr char invalidString[] = "Invalid string found for ";
constexpr char invalidTrackerId[] = "Invalid tracker ID found for ";
} // namespace optionReason

// Where the reports of one reading go: logged at ERROR through the owner's logger,
// or, when a list is given, kept there instead (so that a host can check a file
// without running it). Remembers whether anything was reported.
class OptionReports {
public:
    OptionReports(const CLoggerH& logger, const char* prefix,
                  std::vector<OptionProblem>* collected = nullptr)
        : logger(logger), prefix(prefix), collected(collected) {}

    // "<reason><label> at line <line number>."
    void report(const ConfigLine& line, const char* reason, const char* label);
    // A report in words of its own.
    void report(const ConfigLine& line, const std::string& text);
    bool failed() const { return anyFailed; }

private:
    const CLoggerH& logger;
    const char* prefix;
    std::vector<OptionProblem>* collected;
    bool anyFailed = false;
};

// One option line being read, with its catalogue row; arguments count from 1. The
// checks report their problem and answer false, so a reader is a chain of checks.
class OptionLine {
public:
    OptionLine(const ConfigLine& line, const OptionRow& row, OptionReports& reports)
        : line(line), row(row), reports(reports) {}

    std::uint32_t count() const { return line.argCount; }
    const char* arg(std::uint32_t index) const { return line.args[index - 1]; }
    std::uint32_t lineNumber() const { return line.lineNumber; }
    // An earlier line of this reading failed.
    bool earlierError() const { return reports.failed(); }

    // Reports `reason` with the label and answers false.
    bool fail(const char* reason) const;
    // Reports a text of its own and answers false.
    bool failWith(const std::string& text) const;

    // least <= count() <= most, else "Incomplete ..." or "Too many ...".
    bool countIn(std::uint32_t least, std::uint32_t most) const;
    // The row's count of arguments, checked as countIn checks it.
    bool countFits() const { return countIn(row.leastArgs, row.mostArgs); }
    // n arguments from `first` by the number rule, else "Invalid arg ...".
    bool numbers(std::uint32_t first, std::uint32_t n, float* values) const;
    // The optional unit word of the row, its last argument (feet when the line is
    // shorter), scales the values; an unknown word is reported with the row's reason.
    bool unitScale(float* values, std::uint32_t n) const;
    // yes/on or no/off, else "Invalid string ...".
    bool switchWord(std::uint32_t index, bool& value) const;
    // A tracker ID, 1 to entryCount, else "Invalid tracker ID ...".
    bool trackerId(std::uint32_t index, std::uint32_t entryCount, std::uint32_t& id) const;

private:
    const ConfigLine& line;
    const OptionRow& row;
    OptionReports& reports;
};

// The reader of one topic of an owner's rows.
template <typename Owner> struct OptionRule {
    OptionTopic topic;
    bool (*read)(Owner& owner, const OptionLine& line); // true: the line is accepted
};

// Hands every line one of whose spellings `rows` has to the reader of its row's
// topic; an accepted line is marked used. Lines of other names are left alone.
template <typename Owner, std::size_t N>
void readOptions(CConfigH& config, OptionList<OptionRow> rows, const OptionRule<Owner> (&rules)[N],
                 Owner& owner, OptionReports& reports) {
    for (std::uint32_t i = 0; i < config.lineCount; ++i) {
        ConfigLine& line = config.lines[i];
        const OptionRow* const row = findOption(rows, line.optionName);
        for (const OptionRule<Owner>& rule : rules) {
            if (row != nullptr && rule.topic == row->topic) {
                if (rule.read(owner, OptionLine(line, *row, reports))) {
                    line.used = 1;
                }
                break;
            }
        }
    }
}

// The digit and letter tests of the number rule: ASCII only, whatever the locale.
bool isOptionDigit(char c);
bool isOptionLetter(char c);
// The number rule: a decimal number as strtod reads one, without its hexadecimal,
// infinity and NaN forms; text without digits reads as 0. False when it reads as
// exactly zero and begins with a letter ("abc", "e5"; "-x" and "" are 0), and when
// it lies beyond the float range (1e39).
bool readOptionNumber(const char* text, float& value);
// How many characters of `text` the number rule reads (leading white space and the
// number); 0 when it finds no digits and reads the argument as 0.
std::size_t optionNumberLength(const char* text);
// "yes"/"on" (true) and "no"/"off" (false) in any letter case; false for any other
// word, leaving `value` as it was.
bool readSwitchWord(const char* word, bool& value);
// An integer as strtol with base 0 reads it ("0x" hexadecimal, leading "0" octal),
// before any narrowing; trailing text is ignored and text without digits is 0.
std::int64_t readOptionInteger(const char* text);
// How many characters of `text` readOptionInteger reads; 0 when it finds no digits.
std::size_t optionIntegerLength(const char* text);
