// Fuzzes the writer of a section's lines into a configuration file's text. The input
// is the lines to write, one a line, then a NUL, then the configuration's text; the
// section is the one the first line names ("[name]"), or the text's first. Whatever
// they are, an edit the writer makes reads back to the same sections in the same
// order, every line it did not write is byte for byte what it was (a last line
// without a line end may gain one), and each line written is the section's last of
// its kind, the kinds being the plug-in's options.
#include "device/PluginOptions.h"
#include "host/input/ConfigEdit.h"
#include "host/input/ConfigFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A keyword's kind: the plug-in's option it spells, by its topic; -1 for none.
int kindOf(const std::string& keyword) {
    const OptionRow* option = findPluginOption(keyword);
    return option == nullptr ? -1 : static_cast<int>(option->topic);
}

// The texts of the text's lines, without their line ends.
std::vector<std::string> lineTexts(const std::string& text) {
    std::vector<std::string> lines;
    for (const ConfigTextLine& line : splitConfigText(text)) {
        lines.push_back(text.substr(line.start, line.length));
    }
    return lines;
}

// The option lines to write: each an option line of a kind not given before.
std::vector<WrittenLine> linesToWrite(const std::string& part, std::string& section) {
    std::vector<WrittenLine> lines;
    for (const std::string& line : lineTexts(part)) {
        ConfigLineMeaning meaning;
        std::string problem;
        if (!readConfigLine(line, meaning, problem)) {
            continue;
        }
        if (meaning.kind == ConfigLineMeaning::Kind::header && section.empty()) {
            section = meaning.name;
        }
        const int kind =
            meaning.kind == ConfigLineMeaning::Kind::option ? kindOf(meaning.words[0]) : -1;
        bool given = kind < 0;
        for (const WrittenLine& written : lines) {
            given = given || written.kind == kind;
        }
        if (!given) {
            lines.push_back({kind, line});
        }
    }
    return lines;
}

// The names of the text's section headers, in order.
std::vector<std::string> headerNames(const std::string& text) {
    std::vector<std::string> names;
    for (const std::string& line : lineTexts(text)) {
        // Only a line that starts with '[' after blanks is a header: the others are
        // passed over unread, for speed.
        const std::size_t first = line.find_first_not_of(" \t\r\v\f");
        ConfigLineMeaning meaning;
        std::string problem;
        if (first != std::string::npos && line[first] == '[' &&
            readConfigLine(line, meaning, problem) &&
            meaning.kind == ConfigLineMeaning::Kind::header) {
            names.push_back(meaning.name);
        }
    }
    return names;
}

// The edit's promise on `text` and `edited`.
void checkEdit(const std::string& text, const std::string& edited,
               const std::vector<WrittenLine>& lines, const std::vector<LineChange>& changes,
               const std::vector<std::string>& names, const std::string& section) {
    std::vector<DeviceSection> after;
    FileError error;
    check(parseConfigText(edited, "", after, error));
    check(after.size() == names.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        check(after[i].name == names[i]);
    }
    check(edited.compare(0, configTextStart(text), text, 0, configTextStart(text)) == 0);
    // Every line not written, in order, as it was.
    const std::vector<std::string> was = lineTexts(text);
    const std::vector<std::string> now = lineTexts(edited);
    std::size_t w = 0;
    std::size_t c = 0;
    for (std::size_t n = 0; n < now.size(); ++n) {
        if (c < changes.size() && changes[c].line == n + 1) {
            check(now[n] == changes[c].text);
            if (!changes[c].was.empty()) {
                check(w < was.size() && was[w] == changes[c].was);
                ++w;
            }
            ++c;
        } else {
            check(w < was.size() && was[w] == now[n]);
            ++w;
        }
    }
    check(w == was.size() && c == changes.size() && changes.size() == lines.size());
    // Each written line is its section's last of its kind.
    for (const DeviceSection& device : after) {
        if (device.name != section) {
            continue;
        }
        const CConfigH& record = *device.config->record();
        for (const LineChange& change : changes) {
            ConfigLineMeaning meaning;
            std::string problem;
            check(readConfigLine(change.text, meaning, problem));
            const int kind = kindOf(meaning.words.at(0));
            std::uint32_t last = 0;
            for (std::uint32_t i = 0; i < record.lineCount; ++i) {
                last =
                    kindOf(record.lines[i].optionName) == kind ? record.lines[i].lineNumber : last;
            }
            check(last == change.line);
        }
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    if (split == std::string::npos) {
        return 0;
    }
    const std::string text = input.substr(split + 1);
    std::string section;
    const std::vector<WrittenLine> lines = linesToWrite(input.substr(0, split), section);
    const std::vector<std::string> names = headerNames(text);
    if (section.empty() && !names.empty()) {
        section = names.front();
    }
    std::string edited;
    std::vector<LineChange> changes;
    std::string problem;
    if (editConfigSection(text, section, lines, kindOf, edited, changes, problem)) {
        checkEdit(text, edited, lines, changes, names, section);
        return 0;
    }
    // The writer refuses only a text that does not parse, a section it lacks, or an
    // edit past the parser's limits.
    std::vector<DeviceSection> before;
    FileError error;
    bool present = false;
    if (parseConfigText(text, "", before, error)) {
        for (const DeviceSection& device : before) {
            present = present || device.name == section;
        }
    }
    check(!present || problem.rfind("its line ", 0) == 0);
    return 0;
}
