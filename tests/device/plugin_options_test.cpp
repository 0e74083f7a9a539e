// The plug-in's option catalogue: one row per topic, each spelling in one row, found
// in any letter case, and the manual's table of device options as the catalogue has it.
#include "device/PluginOptions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

TEST(PluginOptions, EveryTopicHasOneRowAndEverySpellingOneOption) {
    std::map<OptionTopic, int> rows;
    std::set<std::string> spellings;
    for (const OptionRow& option : PluginOptions()) {
        ++rows[option.topic];
        for (const char* spelling : option.spellings) {
            EXPECT_TRUE(spellings.insert(spelling).second) << spelling << " spells two options";
            EXPECT_EQ(findPluginOption(spelling), &option);
        }
        EXPECT_EQ(&pluginOption(option.topic), &option);
        // The unit word is the last argument, where the reader looks for it.
        EXPECT_EQ(option.units.empty(), option.unitReason == nullptr) << option.name();
    }
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(OptionTopic::caveCoordinates) + 1);
    for (const auto& [topic, count] : rows) {
        EXPECT_EQ(count, 1) << static_cast<int>(topic);
    }
    EXPECT_EQ(findPluginOption("SerialPort"), &pluginOption(OptionTopic::port));
    EXPECT_EQ(findPluginOption("CALIB"), &pluginOption(OptionTopic::calibration));
    EXPECT_EQ(findPluginOption("speed"), nullptr);
    EXPECT_EQ(findPluginOption("port "), nullptr);
    EXPECT_EQ(findPluginOption(""), nullptr);
    EXPECT_EQ(unitWordList(pluginOption(OptionTopic::position).units),
              "feet, inches, meters or m, cm");
}

// docs/configuration.md lists each option with its spellings and its message label:
// "| `port`, `serialport` | ... | `SerialPort at line ` |", and the unit words in order.
TEST(PluginOptions, TheManualListsEveryOptionAndUnitWordAsTheCatalogueHasThem) {
    std::ifstream file(TRACKER_SOURCE_DIR "/docs/configuration.md");
    ASSERT_TRUE(file) << "docs/configuration.md";
    std::map<std::string, std::string> listed; // spellings: label
    std::string prose;                         // the section's lines, joined by blanks
    bool inSection = false;
    bool inTable = false;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## Device options";
        }
        if (inSection) {
            prose += line + ' ';
        }
        inTable = inSection && (line.rfind("| Option |", 0) == 0 || (inTable && !line.empty()));
        if (!inTable || line.rfind("| `", 0) != 0) {
            continue;
        }
        const std::string spellings = line.substr(2, line.find(" |", 2) - 2);
        const std::size_t label = line.rfind("| `");
        listed[spellings] = line.substr(label + 3, line.size() - label - 6);
    }
    for (const OptionRow& option : PluginOptions()) {
        std::string spellings;
        for (const char* spelling : option.spellings) {
            spellings += (spellings.empty() ? "`" : ", `") + std::string(spelling) + '`';
        }
        const auto row = listed.find(spellings);
        if (row == listed.end()) {
            ADD_FAILURE() << "docs/configuration.md has no row for " << spellings;
            continue;
        }
        EXPECT_EQ(row->second, option.label + std::string(" at line ")) << spellings;
        listed.erase(row);
    }
    // "`feet` (the default), `inches`, `meters` or `m`, `cm`."
    std::string words;
    for (const UnitWord& unit : lengthUnitWords) {
        const bool sameUnit = !words.empty() && std::string(unit.unit) == (&unit - 1)->unit;
        words += (words.empty() ? "`"
                  : sameUnit    ? " or `"
                                : ", `") +
                 std::string(unit.word) + (words.empty() ? "` (the default)" : "`");
    }
    EXPECT_NE(prose.find("A unit word may follow the numbers where shown: " + words + '.'),
              std::string::npos)
        << words;
    for (const auto& [spellings, label] : listed) {
        ADD_FAILURE() << "docs/configuration.md lists " << spellings
                      << ", no option of the plug-in";
    }
}
