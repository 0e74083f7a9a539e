// The host's configuration file: sections, option lines, quotes and comments.
#include "ConfigFile.h"

#include "support/CDataStorage.h"

#include <fstream>
#include <iterator>
#include <ostream>

namespace {

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

class Parser {
public:
    Parser(const std::string& fileName, std::vector<DeviceSection>& sections, ConfigError& error)
        : fileName(fileName), sections(sections), error(error) {}

    bool line(const std::string& text, unsigned number) {
        if (text.find('\0') != std::string::npos) {
            return fail(number, "NUL byte in the line");
        }
        const std::size_t start = skipBlanks(text, 0);
        if (start < text.size() && text[start] == '[') {
            return header(text, start, number);
        }
        std::vector<std::string> words;
        if (!splitWords(text, words)) {
            return fail(number, "unterminated quote");
        }
        return words.empty() || option(words, number);
    }

private:
    bool header(const std::string& text, std::size_t open, unsigned number) {
        const std::size_t close = text.find(']', open);
        if (close == std::string::npos) {
            return fail(number, "section header without closing ']'");
        }
        const std::size_t after = skipBlanks(text, close + 1);
        if (after < text.size() && text[after] != '#') {
            return fail(number, "unexpected text after the section header");
        }
        std::size_t first = skipBlanks(text, open + 1);
        std::size_t last = close;
        while (last > first && isBlank(text[last - 1])) {
            --last;
        }
        if (first == last) {
            return fail(number, "empty section name");
        }
        // Each device takes at least one of the storage's tracker slots.
        if (sections.size() >= CDataStorage::maxRecords) {
            return fail(number, "more than " + std::to_string(CDataStorage::maxRecords) +
                                    " device sections");
        }
        DeviceSection section;
        section.name = text.substr(first, last - first);
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
    ConfigError& error;
};

} // namespace

std::string formatError(const ConfigError& error) {
    std::string text = error.file + ":";
    if (error.line != 0) {
        text += std::to_string(error.line) + ":";
    }
    return text + " " + error.message;
}

std::ostream& operator<<(std::ostream& out, const ConfigError& error) {
    return out << formatError(error);
}

bool parseConfigText(const std::string& text, const std::string& fileName,
                     std::vector<DeviceSection>& sections, ConfigError& error) {
    Parser parser(fileName, sections, error);
    unsigned number = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (!parser.line(text.substr(start, end - start), number)) {
            return false;
        }
        start = end + 1;
        ++number;
    }
    return true;
}

bool readConfigFile(const std::string& fileName, std::vector<DeviceSection>& sections,
                    ConfigError& error) {
    std::ifstream file(fileName, std::ios::binary);
    const std::string text =
        file ? std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())
             : std::string();
    if (!file.is_open() || file.bad()) {
        error.file = fileName;
        error.line = 0;
        error.message = "cannot read the file";
        return false;
    }
    return parseConfigText(text, fileName, sections, error);
}
