// trackhost's configuration file: sections, option lines with their file line
// numbers, quotes and comments, and one exact message per malformed file.
#include "host/input/ConfigEdit.h"
#include "host/input/ConfigFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

std::vector<DeviceSection> parse(const std::string& text) {
    std::vector<DeviceSection> sections;
    FileError error;
    EXPECT_TRUE(parseConfigText(text, "t.conf", sections, error)) << formatError(error);
    return sections;
}

std::string parseError(const std::string& text) {
    std::vector<DeviceSection> sections;
    FileError error;
    EXPECT_FALSE(parseConfigText(text, "t.conf", sections, error));
    return formatError(error);
}

std::vector<std::string> args(const DeviceSection& section, std::size_t line) {
    const ConfigLine& record = section.config->record()->lines[line];
    return std::vector<std::string>(record.args, record.args + record.argCount);
}

} // namespace

TEST(ConfigFile, SectionsCarryTheirOptionLinesWithFileLineNumbers) {
    const auto sections = parse("# two devices\r\n"
                                "[head]\r\n"
                                "  port 2   # the second port\r\n"
                                "\r\n"
                                "calibration \"C:\\My Libs\\b.dll\" \"\" 1\" 2\"x \"#\"\n"
                                "[ left hand ]\n"
                                "[empty]");
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].name, "head");
    EXPECT_EQ(sections[0].line, 2u);
    const CConfigH& head = *sections[0].config->record();
    EXPECT_STREQ(head.deviceName, "head");
    ASSERT_EQ(head.lineCount, 2u);
    EXPECT_EQ(head.lines[0].lineNumber, 3u);
    EXPECT_STREQ(head.lines[0].optionName, "port");
    EXPECT_EQ(args(sections[0], 0), std::vector<std::string>{"2"});
    EXPECT_EQ(head.lines[1].lineNumber, 5u);
    // Quotes group and join; backslashes and a quoted # stay as written.
    EXPECT_EQ(args(sections[0], 1),
              (std::vector<std::string>{"C:\\My Libs\\b.dll", "", "1 2x", "#"}));
    EXPECT_EQ(sections[1].name, "left hand");
    EXPECT_EQ(sections[2].config->record()->lineCount, 0u);
    EXPECT_TRUE(parse("# only comments\n\n").empty());
}

TEST(ConfigFile, EachProblemIsReportedWithFileAndLine) {
    EXPECT_EQ(parseError("# no section yet\nport 1\n"),
              "t.conf:2: option \"port\" outside a section; a section starts with a line [name]");
    EXPECT_EQ(parseError("[d]\nposition 1 \"2 3\n"), "t.conf:2: unterminated quote");
    EXPECT_EQ(parseError("[d]\n[  ]\n"), "t.conf:2: empty section name");
    EXPECT_EQ(parseError("[d\n"), "t.conf:1: section header without closing ']'");
    EXPECT_EQ(parseError("[d] port 1\n"), "t.conf:1: unexpected text after the section header");
    EXPECT_EQ(parseError(std::string("[d]\nport\0 1\n", 12)), "t.conf:2: NUL byte in the line");

    std::vector<DeviceSection> sections;
    FileError error;
    EXPECT_FALSE(readConfigFile("no-such-file.conf", sections, error));
    EXPECT_EQ(formatError(error),
              "no-such-file.conf: cannot read the file (No such file or directory)");
}

TEST(ConfigFile, AtMost32SectionsOf32LinesOf64Arguments) {
    std::string text = "[d]\n";
    for (int i = 0; i < 32; ++i) {
        text += "reset no\n";
    }
    EXPECT_EQ(parse(text)[0].config->record()->lineCount, 32u);
    EXPECT_EQ(parseError(text + "reset no\n"),
              "t.conf:34: section [d] has more than 32 option lines");
    EXPECT_EQ(parse(text + "[e]\nreset no\n").size(), 2u); // a new section counts anew

    std::string many = "[d]\n\ncalibration";
    for (int i = 0; i < 64; ++i) {
        many += " x";
    }
    EXPECT_EQ(parse(many)[0].config->record()->lines[0].argCount, 64u);
    EXPECT_EQ(parseError(many + " x"),
              "t.conf:3: option \"calibration\" has more than 64 arguments");
    std::string sections;
    for (int i = 0; i < 32; ++i) {
        sections += "[s]\n";
    }
    EXPECT_EQ(parse(sections).size(), 32u);
    // Past the storage's slots reading stops, telling the limit a run has.
    EXPECT_EQ(parseError(sections + "[s]\n"),
              "t.conf:5: more than 4 device sections: one process wakes at most 4 sensors");
    const std::string longLine = "[d]\nposition " + std::string(1 << 20, '7') + " 0 0\n";
    EXPECT_EQ(parse(longLine)[0].config->record()->lines[0].argCount, 3u);
}

TEST(ConfigFile, FilesSavedByWindowsEditorsReadOrAreNamed) {
    // A UTF-8 byte-order mark is no part of the first line; CR alone ends lines.
    const auto sections = parse("\xEF\xBB\xBF[h]\rport 2\r\r[w]\r\nport 3\n");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].name, "h");
    EXPECT_EQ(sections[0].config->record()->lines[0].lineNumber, 2u);
    EXPECT_EQ(sections[1].line, 4u);
    EXPECT_EQ(sections[1].config->record()->lines[0].lineNumber, 5u);
    const std::string utf16 = "t.conf: the file is UTF-16 text; save it as UTF-8 or ASCII";
    EXPECT_EQ(parseError(std::string("\xFF\xFE[\0h\0]\0", 8)), utf16);
    EXPECT_EQ(parseError(std::string("\xFE\xFF\0[\0h\0]", 8)), utf16);
    EXPECT_EQ(parseError(std::string("[\0h\0]\0", 6)), utf16);
}

TEST(ConfigFile, UnreadableOversizedAndEmptyFilesSayWhy) {
    std::vector<DeviceSection> sections;
    FileError error;
    EXPECT_FALSE(readConfigFile(".", sections, error));
    EXPECT_EQ(formatError(error), ".: cannot read the file (Is a directory)");

    const std::string big = "config_file_test_big.conf";
    std::ofstream(big, std::ios::binary) << "[d]\n" << std::string(maxConfigFileSize, '#');
    EXPECT_FALSE(readConfigFile(big, sections, error));
    std::remove(big.c_str());
    EXPECT_EQ(formatError(error), big + ": the file is larger than 1024 KiB; a configuration "
                                        "file is a few kilobytes");

    EXPECT_FALSE(checkDeviceSections({}, "t.conf", error));
    EXPECT_EQ(formatError(error), "t.conf: no device section; a section starts with a line [name]");
}

namespace {

// Kind 0: "rot" or its alias "ROTM" (any case); kind 1: "pos".
int testKind(const std::string& keyword) {
    std::string lower;
    for (const char c : keyword) {
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower == "rot" || lower == "rotm" ? 0 : lower == "pos" ? 1 : -1;
}

// `text` with section `name` given "rot 1" and "pos 2"; each change as "LINE: TEXT
// (was: OLD)".
std::string edit(const std::string& text, const std::string& name, std::string* changes = nullptr) {
    std::string edited;
    std::vector<LineChange> changed;
    std::string problem;
    EXPECT_TRUE(editConfigSection(text, name, {{0, "rot 1"}, {1, "pos 2"}}, testKind, edited,
                                  changed, problem))
        << problem;
    for (const LineChange& change : changed) {
        if (changes != nullptr) {
            *changes +=
                std::to_string(change.line) + ": " + change.text + " (was: " + change.was + ")\n";
        }
    }
    return edited;
}

} // namespace

// The section's last line of each kind is replaced where it stands, in any spelling
// the classifier knows; what it lacks goes after its last option line, before the
// comments that lead into the next section; every other byte stays.
TEST(ConfigEdit, LinesReplacedWhereTheyStandOrAddedAtTheSectionsEnd) {
    std::string changes;
    EXPECT_EQ(edit("[a]\nport 1\n[b] # middle\n  ROTM 9 # old\nrot 8\nport 2\n\n# lead-in\n"
                   "[c]\npos 7\n",
                   "b", &changes),
              "[a]\nport 1\n[b] # middle\n  ROTM 9 # old\nrot 1\nport 2\npos 2\n\n# lead-in\n"
              "[c]\npos 7\n");
    EXPECT_EQ(changes, "5: rot 1 (was: rot 8)\n7: pos 2 (was: )\n");
    changes.clear();
    EXPECT_EQ(edit("[a]\n\tpos 0 # keep\n[b]\n", "a", &changes), "[a]\n\tpos 2\nrot 1\n[b]\n");
    EXPECT_EQ(changes, "2: \tpos 2 (was: \tpos 0 # keep)\n3: rot 1 (was: )\n");
    EXPECT_EQ(edit("[only]", "only"), "[only]\nrot 1\npos 2\n");
    // A name is a header's, not a word elsewhere; the first of two sections of a name.
    EXPECT_EQ(edit("# [x]\n[x]\n[x]\nrot 3\n", "x"), "# [x]\n[x]\nrot 1\npos 2\n[x]\nrot 3\n");
}

// CR LF stays CR LF, a lone CR stays, a byte-order mark stays; a last line without
// a line end gets the file's own before a line follows it (as Notepad saves).
TEST(ConfigEdit, LineEndsAndTheByteOrderMarkStay) {
    EXPECT_EQ(edit("[a]\r\nport 2\r\nposition 0 5.5 -2", "a"),
              "[a]\r\nport 2\r\nposition 0 5.5 -2\r\nrot 1\r\npos 2\r\n");
    EXPECT_EQ(edit("\xEF\xBB\xBF[a]\rpos 1\r# end", "a"), "\xEF\xBB\xBF[a]\rpos 2\rrot 1\r# end");
    EXPECT_EQ(edit("[a]\nrot 0", "a"), "[a]\nrot 1\npos 2\n");
    // Line ends mixed: an added line ends as the one before it, so that no CR of its
    // meets the LF of the blank line after it.
    EXPECT_EQ(edit("\r[a]\nport 1\n\n[b]", "a"), "\r[a]\nport 1\nrot 1\npos 2\n\n[b]");
    std::string edited;
    std::vector<LineChange> changes;
    std::string problem;
    EXPECT_FALSE(editConfigSection("[a]\n", "b", {}, testKind, edited, changes, problem));
    EXPECT_EQ(problem, "it has no section [b]");
    EXPECT_FALSE(editConfigSection("[a]\nx \"open\n", "a", {}, testKind, edited, changes, problem));
    // A section of 32 option lines takes no 33rd.
    std::string full = "[a]\n";
    for (int i = 0; i < 32; ++i) {
        full += "port 1\n";
    }
    EXPECT_FALSE(editConfigSection(full, "a", {{0, "rot 1"}}, testKind, edited, changes, problem));
    EXPECT_EQ(problem, "its line 34 would be refused: section [a] has more than 32 option lines");
}
