// The plug-in's option grammar as data: one row per option, with its spellings, the
// kind and number of its values, whether a tracker ID comes first, its unit words,
// the label its reports name and the label --check --verbose prints. The option
// readers, the checker and the alignment all read these rows, so an option's
// spelling or unit is written once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What an option line sets. Other spellings of an option share its row; the two
// forms of a rotation (axis and angle, matrix) are rows of their own.
enum class OptionTopic {
    port,
    reset,
    reconnect,
    position, // the device's fixed position
    transmitterOffset,
    transmitterRotation,       // axis and angle
    transmitterRotationMatrix, // nine values
    sensorOffset,
    sensorTranslation,
    sensorRotation,       // axis and angle
    sensorRotationMatrix, // nine values
    calibration,
    order,
    caveCoordinates,
};

// The kind of an option's values (after the tracker ID, when one comes first).
enum class OptionValues {
    integer,    // one whole number, read as a C integer
    decimal,    // one number
    switchWord, // yes/on or no/off
    lengths,    // x y z, then an optional unit word
    rotation,   // axis x y z and an angle in degrees
    matrix,     // nine numbers, the rotation by columns
    library,    // a library name, then its arguments
    trackerIds, // tracker IDs in output order
};

// A fixed list of rows, over an array that outlives it.
template <typename T> class OptionList {
public:
    constexpr OptionList() = default;
    template <std::size_t N> constexpr OptionList(const T (&items)[N]) : first(items), n(N) {}

    constexpr const T* begin() const { return first; }
    constexpr const T* end() const { return first + n; }
    constexpr std::size_t size() const { return n; }
    constexpr bool empty() const { return n == 0; }
    constexpr const T& operator[](std::size_t i) const { return first[i]; }

private:
    const T* first = nullptr;
    std::size_t n = 0;
};

// A unit word a length may be given in, and its factor to feet. Words of one unit
// ("meters", "m") are neighbours and share the unit's name.
struct UnitWord {
    const char* word;
    const char* unit;
    float feet;
};

// The unit words of lengths; feet when none is given.
inline constexpr UnitWord lengthUnitWords[] = {{"feet", "feet", 1.0f},
                                               {"inches", "inches", 1.0f / 12.0f},
                                               {"meters", "meters", 3.28084f},
                                               {"m", "meters", 3.28084f},
                                               {"cm", "cm", 0.0328084f}};

// One option of the plug-in.
struct OptionRow {
    OptionTopic topic;
    OptionList<const char*> spellings; // the first is its name; matched in any letter case
    const char* label;                 // in reports: "Too many args found for <label> at line 3."
    const char* setting;               // the label of --check --verbose; null: not printed
    OptionValues values;
    bool trackerIdFirst;
    std::uint32_t leastArgs; // arguments, the tracker ID and unit word included
    std::uint32_t mostArgs;
    OptionList<UnitWord> units; // the unit words its lengths take; empty: none
    const char* unitReason;     // the reason an unknown unit word is reported with
    const char* help;           // one line: what the option does

    const char* name() const { return spellings[0]; }
    // `keyword` is one of the spellings, in any letter case.
    bool spelledAs(std::string_view keyword) const;
};

// The option of `keyword` among `options`; null when none is spelled so.
const OptionRow* findOption(OptionList<OptionRow> options, std::string_view keyword);

// `a` and `b` are equal but for the letter case of ASCII letters.
bool equalNoCase(std::string_view a, std::string_view b);

// The factor to feet of `word` among `units`, any letter case; false for another word.
bool readUnitWord(OptionList<UnitWord> units, const char* word, float& factor);

// The unit words as a person reads them: "feet, inches, meters or m, cm".
std::string unitWordList(OptionList<UnitWord> units);
