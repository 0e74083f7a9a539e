// The host's configuration file: sections, option lines, quotes and comments.
#include "host/input/ConfigFile.h"

#include "host/input/TextFile.h"

#include "bird/BirdLibrary.h"
#include "support/CDataStorage.h"

#include <ostream>

namespace {

// One process wakes at most this many sensors, one per device section.
constexpr std::size_t sectionLimit = bird::maxSensors;
static_assert(sectionLimit < CDataStorage::maxRecords, "the parser stops past the limit");

std::string tooManySections() {
    return "more than " + std::to_string(sectionLimit) +
           " device sections: one process wakes at most " + std::to_string(sectionLimit) +
           " sensors";
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t skipBlanks(const std::string& line, std::size_t at) {
    while (at < line.size() && isBlank(line[at])) {
        ++at;
    }
    return at;
}

// The words of an option line. Quotes group, and may join a quoted part to an
// unquoted one ("a"b is ab); "" is an empty word. There are no escapes, so a
// Windows path keeps its backslashes. False for an unterminated quote.
bool splitWords(const std::string& line, std::vector<std::string>& words) {
    std::size_t at = skipBlanks(line, 0);
    while (at < line.size() && line[at] != '#') {
        std::string word;
        while (at < line.size() && !isBlank(line[at]) && line[at] != '#') {
            if (line[at] != '"') {
                word += line[at++];
                continue;
            }
            const std::size_t close = line.find('"', at + 1);
            if (close == std::string::npos) {
                return false;
            }
            word.append(line, at + 1, close - at - 1);
            at = close + 1;
        }
        words.push_back(std::move(word));
        at = skipBlanks(line, at);
    }
    return true;
}

// A header's section name: "[ name ]", perhaps a comment after it.
bool readHeader(const std::string& text, std::size_t open, std::string& name,
                std::string& problem) {
    const std::size_t close = text.find(']', open);
    if (close == std::string::npos) {
        problem = "section header without closing ']'";
        return false;
    }
    const std::size_t after = skipBlanks(text, close + 1);
    if (after < text.size() && text[after] != '#') {
        problem = "unexpected text after the section header";
        return false;
    }
    std::size_t first = skipBlanks(text, open + 1);
    std::size_t last = close;
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    if (first == last) {
        problem = "empty section name";
        return false;
    }
    name = text.substr(first, last - first);
    return true;
}

class Parser {
public:
    Parser(const std::string& fileName, std::vector<DeviceSection>& sections, FileError& error)
        : fileName(fileName), sections(sections), error(error) {}

    bool line(const std::string& text, unsigned number) {
        ConfigLineMeaning meaning;
        std::string problem;
        if (!readConfigLine(text, meaning, problem)) {
            return fail(number, std::move(problem));
        }
        switch (meaning.kind) {
        case ConfigLineMeaning::Kind::header:
            return header(meaning.name, number);
        case ConfigLineMeaning::Kind::option:
            return option(meaning.words, number);
        case ConfigLineMeaning::Kind::empty:
            break;
        }
        return true;
    }

private:
    bool header(const std::string& name, unsigned number) {
        // Reading stops where the storage's tracker slots would run out; what is told
        // is the limit a run has, at the first section beyond it.
        if (sections.size() >= CDataStorage::maxRecords) {
            return fail(sections[sectionLimit].line, tooManySections());
        }
        DeviceSection section;
        section.name = name;
        section.line = number;
        section.config = std::make_unique<HostConfig>(section.name);
        sections.push_back(std::move(section));
        return true;
    }

    bool option(const std::vector<std::string>& words, unsigned number) {
        const std::string& keyword = words.front();
        if (sections.empty()) {
            return fail(number, "option \"" + keyword +
                                    "\" outside a section; a section starts with a line [name]");
        }
        DeviceSection& section = sections.back();
        const CConfigH* record = section.config->record();
        if (record->lineCount >= CConfigH::maxLines) {
            return fail(number, "section [" + section.name + "] has more than " +
                                    std::to_string(CConfigH::maxLines) + " option lines");
        }
        if (words.size() - 1 > ConfigLine::maxArgs) {
            return fail(number, "option \"" + keyword + "\" has more than " +
                                    std::to_string(ConfigLine::maxArgs) + " arguments");
        }
        section.config->add(keyword, std::vector<std::string>(words.begin() + 1, words.end()),
                            number);
        return true;
    }

    bool fail(unsigned number, std::string message) {
        error.file = fileName;
        error.line = number;
        error.message = std::move(message);
        return false;
    }

    const std::string& fileName;
    std::vector<DeviceSection>& sections;
    FileError& error;
};

} // namespace

bool parseConfigText(const std::string& text, const std::string& fileName,
                     std::vector<DeviceSection>& sections, FileError& error) {
    // Windows editors save "Unicode" as UTF-16, which has a NUL in every ASCII
    // character; name it rather than report the first NUL.
    const bool utf16 = text.size() >= 2 && (text.compare(0, 2, "\xFF\xFE") == 0 ||
                                            text.compare(0, 2, "\xFE\xFF") == 0 ||
                                            (text[0] == '\0') != (text[1] == '\0'));
    if (utf16) {
        error = {fileName, 0, "the file is UTF-16 text; save it as UTF-8 or ASCII"};
        return false;
    }
    Parser parser(fileName, sections, error);
    unsigned number = 1;
    for (const ConfigTextLine& line : splitConfigText(text)) {
        if (!parser.line(text.substr(line.start, line.length), number++)) {
            return false;
        }
    }
    return true;
}

std::size_t configTextStart(const std::string& text) {
    return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

std::vector<ConfigTextLine> splitConfigText(const std::string& text) {
    std::vector<ConfigTextLine> lines;
    std::size_t start = configTextStart(text);
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        std::size_t next = end + 1;
        if (end == std::string::npos) {
            end = text.size();
            next = end;
        } else if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
            ++next;
        }
        lines.push_back({start, end - start, next - end});
        start = next;
    }
    return lines;
}

bool readConfigLine(const std::string& text, ConfigLineMeaning& meaning, std::string& problem) {
    meaning = {};
    if (text.find('\0') != std::string::npos) {
        problem = "NUL byte in the line";
        return false;
    }
    const std::size_t start = skipBlanks(text, 0);
    if (start < text.size() && text[start] == '[') {
        meaning.kind = ConfigLineMeaning::Kind::header;
        return readHeader(text, start, meaning.name, problem);
    }
    if (!splitWords(text, meaning.words)) {
        problem = "unterminated quote";
        return false;
    }
    if (!meaning.words.empty()) {
        meaning.kind = ConfigLineMeaning::Kind::option;
    }
    return true;
}

bool readConfigFile(const std::string& fileName, std::vector<DeviceSection>& sections,
                    FileError& error) {
    error = {fileName, 0, {}};
    std::string text;
    if (!readWholeFile(fileName, maxConfigFileSize, text, error.message)) {
        if (text.size() > maxConfigFileSize) {
            error.message += "; a configuration file is a few kilobytes";
        }
        return false;
    }
    return parseConfigText(text, fileName, sections, error);
}

bool checkDeviceSections(const std::vector<DeviceSection>& sections, const std::string& fileName,
                         FileError& error) {
    if (sections.empty()) {
        error = {fileName, 0, "no device section; a section starts with a line [name]"};
        return false;
    }
    if (sections.size() <= sectionLimit) {
        return true;
    }
    error = {fileName, sections[sectionLimit].line, tooManySections()};
    return false;
}
