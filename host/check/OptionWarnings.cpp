// Warnings about accepted but unlikely option values, read as the plug-in reads them.
#include "host/check/OptionWarnings.h"

#include "bird/BirdLibrary.h"
#include "device/PluginOptions.h"
#include "support/CConfigH.h"
#include "support/OptionReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A length whose field value (feet x 100000) reaches 2^31 wraps in the record.
constexpr double wrappingFeet = 21474.83648;

// What the plug-in takes from a number argument: its value and how many
// characters it read (0 when it found no digits and reads the argument as 0).
struct ReadNumber {
    double value = 0.0;
    std::size_t length = 0;
};

// A decimal number as the plug-in reads one.
ReadNumber readDecimal(const std::string& text) {
    const std::size_t length = optionNumberLength(text.c_str());
    return {length == 0 ? 0.0 : std::strtod(text.substr(0, length).c_str(), nullptr), length};
}

// A port, tracker ID or other whole number as the plug-in reads one.
ReadNumber readInteger(const std::string& text) {
    return {static_cast<double>(readOptionInteger(text.c_str())),
            optionIntegerLength(text.c_str())};
}

// The factor to feet of a unit word of `option`; 0 for a word the plug-in refuses.
float unitFactor(const OptionRow& option, const char* word) {
    float factor = 0.0f;
    return readUnitWord(option.units, word, factor) ? factor : 0.0f;
}

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A unit written straight after a length's number ("66in"), which the plug-in does not
// read: the unit's name and its factor to feet (the plug-in's for its own units).
struct SuffixUnit {
    const char* name;
    double feet;
};

// Other spellings of the plug-in's units a person may write after a number, and
// millimetres, a tenth of its cm.
struct SuffixSpelling {
    const char* written;
    const char* unit; // a unit of the plug-in
    int per;          // how many make one of `unit`
};

constexpr SuffixSpelling suffixSpellings[] = {
    {"ft", "feet", 1},      {"foot", "feet", 1},    {"in", "inches", 1},     {"inch", "inches", 1},
    {"meter", "meters", 1}, {"metre", "meters", 1}, {"metres", "meters", 1}, {"mm", "cm", 10}};

// The unit of the plug-in named `unit` among `option`'s.
const UnitWord* pluginUnit(const OptionRow& option, const char* unit) {
    for (const UnitWord& word : option.units) {
        if (std::string(word.unit) == unit) {
            return &word;
        }
    }
    return nullptr;
}

bool readSuffixUnit(const OptionRow& option, const std::string& text, SuffixUnit& unit) {
    for (const UnitWord& word : option.units) {
        if (compareNoCase(text.c_str(), word.word) == 0) {
            unit = {word.unit, static_cast<double>(word.feet)};
            return true;
        }
    }
    for (const SuffixSpelling& spelling : suffixSpellings) {
        const UnitWord* const known = pluginUnit(option, spelling.unit);
        if (known != nullptr && compareNoCase(text.c_str(), spelling.written) == 0) {
            unit = {spelling.per == 1 ? known->unit : spelling.written,
                    static_cast<double>(known->feet) / spelling.per};
            return true;
        }
    }
    return false;
}

// From 2^14 degrees on, a 32-bit float holds an angle in steps of 1/512 degree or
// coarser, and the plug-in turns by the float: the turn is no longer the one written.
constexpr double coarseDegrees = 16384.0;

// The unit the numbers of a lengths line are in: its unit word, or feet.
struct LineUnit {
    std::string name = "feet";
    double feet = 1.0; // 0 for a word the plug-in refuses
};

// One option line under examination.
class LineLook {
public:
    LineLook(const ConfigLine& line, const OptionRow& row, std::vector<CheckFinding>& findings)
        : line(line), row(row), findings(findings), option(line.optionName) {}

    void warn(const std::string& message) {
        findings.push_back({line.lineNumber, CheckFinding::Kind::warning, message});
    }

    // Argument `index` (from 0) read by `reader`, with a warning when the plug-in
    // would read less than the whole argument; a length's (`unit` given) unit written
    // after its number is named with what it comes to in the line's unit.
    double number(std::size_t index, ReadNumber (*reader)(const std::string&),
                  const LineUnit* unit = nullptr) {
        const std::string text = line.args[index];
        const ReadNumber read = reader(text);
        if (read.length == 0) {
            // An argument that begins with a letter is refused, not read.
            if (text.empty() || !isOptionLetter(text[0])) {
                warn("\"" + text + "\" in " + option + " is not a number; it reads as 0");
            }
        } else if (read.length < text.size()) {
            const std::string taken = text.substr(0, read.length);
            // Ports and tracker IDs are whole numbers: a comma there is just text.
            if (reader == readDecimal && text[read.length] == ',' &&
                read.length + 1 < text.size() && isOptionDigit(text[read.length + 1])) {
                std::string meant = text;
                meant[read.length] = '.';
                warn("decimal comma in \"" + text + "\" of " + option + ": it reads as " + taken +
                     "; write " + meant);
            } else {
                warnTextAfter(text, taken, read.value, unit);
            }
        }
        return read.value;
    }

    // "66in" reads as 66 in the line's unit; the unit written after it is named.
    void warnTextAfter(const std::string& text, const std::string& taken, double value,
                       const LineUnit* unit) {
        std::string message =
            "text after the number in \"" + text + "\" of " + option + ": it reads as " + taken;
        SuffixUnit suffix{};
        if (unit != nullptr && unit->feet != 0.0 &&
            readSuffixUnit(row, text.substr(taken.size()), suffix)) {
            message += " " + unit->name;
            if (static_cast<float>(suffix.feet) != static_cast<float>(unit->feet)) {
                message += "; " + taken + " " + suffix.name + " are " +
                           shortNumber(value * suffix.feet / unit->feet) + " " + unit->name;
            }
        }
        warn(message);
    }

    // x y z, then an optional unit word as the line's last argument.
    void lengths(std::size_t first) {
        if (line.argCount < row.leastArgs || line.argCount > row.mostArgs) {
            return;
        }
        const bool worded = line.argCount == row.mostArgs;
        const float factor = worded ? unitFactor(row, line.args[line.argCount - 1]) : 1.0f;
        LineUnit unit;
        if (worded) {
            unit.name = line.args[line.argCount - 1];
            unit.feet = static_cast<double>(factor);
        }
        for (std::size_t i = first; i < first + 3; ++i) {
            const float feet = static_cast<float>(number(i, readDecimal, &unit)) * factor;
            if (factor != 0.0f && std::isfinite(feet) &&
                std::fabs(static_cast<double>(feet)) >= wrappingFeet) {
                warn("the length " + shortNumber(static_cast<double>(feet)) + " feet in " + option +
                     " does not fit a record, which holds less than 21474.83648 feet; it wraps");
            }
        }
    }

    void rotation(std::size_t first) {
        if (line.argCount != row.mostArgs) {
            return;
        }
        bool zero = true;
        double angle = 0.0;
        for (std::size_t i = first; i < first + 4; ++i) {
            const double value = number(i, readDecimal);
            zero = zero && (i == first + 3 || value == 0.0);
            angle = value;
        }
        if (zero) {
            warn(option + " about the axis 0 0 0 turns nothing");
        }
        const auto held = static_cast<float>(angle);
        if (std::fabs(angle) >= coarseDegrees && std::isfinite(held)) {
            const double step =
                static_cast<double>(std::nextafter(std::fabs(held), HUGE_VALF) - std::fabs(held));
            warn("the angle " + shortNumber(angle) + " degrees in " + option +
                 " is held in the plug-in's 32-bit numbers only in steps of " + shortNumber(step) +
                 " degrees, so it does not turn as written; give it from -360 to 360");
        }
    }

    void matrix(std::size_t first) {
        if (line.argCount != row.mostArgs) {
            return;
        }
        double a[9];
        for (std::size_t i = 0; i < 9; ++i) {
            a[i] = number(first + i, readDecimal);
        }
        // The nine values are the matrix by columns.
        const auto dot = [&a](int p, int q) {
            return a[3 * p] * a[3 * q] + a[3 * p + 1] * a[3 * q + 1] + a[3 * p + 2] * a[3 * q + 2];
        };
        constexpr double tolerance = 1e-3;
        const double determinant = a[0] * (a[4] * a[8] - a[5] * a[7]) -
                                   a[3] * (a[1] * a[8] - a[2] * a[7]) +
                                   a[6] * (a[1] * a[5] - a[2] * a[4]);
        std::string why;
        for (int p = 0; p < 3 && why.empty(); ++p) {
            if (std::fabs(std::sqrt(dot(p, p)) - 1.0) > tolerance) {
                why = "column " + std::to_string(p + 1) + " is not of length 1";
            }
            for (int q = p + 1; q < 3 && why.empty(); ++q) {
                if (std::fabs(dot(p, q)) > tolerance) {
                    why = "columns " + std::to_string(p + 1) + " and " + std::to_string(q + 1) +
                          " are not at right angles";
                }
            }
        }
        if (why.empty() && std::fabs(determinant - 1.0) > tolerance) {
            why = "its determinant is " + shortNumber(determinant) + ", not 1 (a mirroring)";
        }
        if (!why.empty()) {
            warn(option + " is not a rotation: " + why);
        }
    }

    void look() {
        const std::size_t first = row.trackerIdFirst ? 1 : 0;
        switch (row.values) {
        case OptionValues::integer:
        case OptionValues::decimal:
            if (line.argCount == 1) {
                number(0, row.values == OptionValues::integer ? readInteger : readDecimal);
            }
            return;
        case OptionValues::lengths:
        case OptionValues::rotation:
        case OptionValues::matrix:
            break;
        default: // words, libraries and orders hold no number worth a look
            return;
        }
        if (row.trackerIdFirst && line.argCount > 0) {
            number(0, readInteger);
        }
        if (row.values == OptionValues::lengths) {
            lengths(first);
        } else if (row.values == OptionValues::rotation) {
            rotation(first);
        } else {
            matrix(first);
        }
    }

private:
    const ConfigLine& line;
    const OptionRow& row;
    std::vector<CheckFinding>& findings;
    std::string option;
};

} // namespace

std::vector<CheckFinding> warnOptionValues(const DeviceSection& section) {
    std::vector<CheckFinding> findings;
    const CConfigH& record = *section.config->record();
    for (std::uint32_t i = 0; i < record.lineCount; ++i) {
        const ConfigLine& line = record.lines[i];
        if (const OptionRow* const row = findPluginOption(line.optionName)) {
            LineLook(line, *row, findings).look();
        }
    }
    return findings;
}
