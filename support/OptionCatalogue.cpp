// The plug-in's option grammar: finding an option by a spelling, and its unit words.
#include "OptionCatalogue.h"

#include <cctype>

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // Lower-cased as compareNoCase lowers them, so both match the same keywords.
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool OptionRow::spelledAs(std::string_view keyword) const {
    for (const char* spelling : spellings) {
        if (equalNoCase(keyword, spelling)) {
            return true;
        }
    }
    return false;
}

const OptionRow* findOption(OptionList<OptionRow> options, std::string_view keyword) {
    for (const OptionRow& option : options) {
        if (option.spelledAs(keyword)) {
            return &option;
        }
    }
    return nullptr;
}

bool readUnitWord(OptionList<UnitWord> units, const char* word, float& factor) {
    for (const UnitWord& unit : units) {
        if (equalNoCase(word, unit.word)) {
            factor = unit.feet;
            return true;
        }
    }
    return false;
}

std::string unitWordList(OptionList<UnitWord> units) {
    std::string list;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i > 0) {
            const bool sameUnit = std::string_view(units[i].unit) == units[i - 1].unit;
            list += sameUnit ? " or " : ", ";
        }
        list += units[i].word;
    }
    return list;
}
