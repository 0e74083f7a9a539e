// A configuration file's text with one section's lines written into it.
#include "host/input/ConfigEdit.h"

#include "host/input/ConfigFile.h"

#include <cstddef>
#include <utility>

namespace {

// The lines of the text with what the parser makes of them.
struct TextLine {
    ConfigTextLine span;
    ConfigLineMeaning meaning;
};

bool readLines(const std::string& text, std::vector<TextLine>& lines) {
    std::string problem;
    for (const ConfigTextLine& span : splitConfigText(text)) {
        TextLine line{span, {}};
        if (!readConfigLine(text.substr(span.start, span.length), line.meaning, problem)) {
            return false;
        }
        lines.push_back(std::move(line));
    }
    return true;
}

// The line end of the file's first line, or LF.
std::string lineEnd(const std::string& text, const std::vector<TextLine>& lines) {
    for (const TextLine& line : lines) {
        if (line.span.endLength != 0) {
            return text.substr(line.span.start + line.span.length, line.span.endLength);
        }
    }
    return "\n";
}

// Where the section named `name` lies: its header's index and the index after its
// last option line (the header's own after it when it has none), and its end.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t afterOptions = 0;
    std::size_t end = 0;
};

bool findSection(const std::vector<TextLine>& lines, const std::string& name, SectionSpan& span) {
    using Kind = ConfigLineMeaning::Kind;
    std::size_t i = 0;
    while (i < lines.size() &&
           !(lines[i].meaning.kind == Kind::header && lines[i].meaning.name == name)) {
        ++i;
    }
    if (i == lines.size()) {
        return false;
    }
    span.header = i;
    span.afterOptions = i + 1;
    for (++i; i < lines.size() && lines[i].meaning.kind != Kind::header; ++i) {
        if (lines[i].meaning.kind == Kind::option) {
            span.afterOptions = i + 1;
        }
    }
    span.end = i;
    return true;
}

// The leading blanks of a line.
std::string indentation(const std::string& line) {
    return line.substr(0, line.find_first_not_of(" \t"));
}

} // namespace

bool editConfigSection(const std::string& text, const std::string& section,
                       const std::vector<WrittenLine>& lines, const LineKindOf& kindOf,
                       std::string& edited, std::vector<LineChange>& changes,
                       std::string& problem) {
    std::vector<TextLine> textLines;
    SectionSpan span;
    if (!readLines(text, textLines) || !findSection(textLines, section, span)) {
        problem = "it has no section [" + section + "]";
        return false;
    }
    // The section's last line of each written kind.
    std::vector<std::size_t> replaced(lines.size(), textLines.size());
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const ConfigLineMeaning& meaning = textLines[i].meaning;
        const int kind =
            meaning.kind == ConfigLineMeaning::Kind::option ? kindOf(meaning.words.front()) : -1;
        for (std::size_t w = 0; w < lines.size(); ++w) {
            replaced[w] = lines[w].kind == kind && kind >= 0 ? i : replaced[w];
        }
    }
    // The edited lines with their line ends; a line end left empty is a last line's.
    std::vector<std::pair<std::string, std::string>> out;
    changes.clear();
    const auto write = [&](const std::string& line, const std::string& was, std::string ending) {
        changes.push_back({static_cast<unsigned>(out.size() + 1), line, was});
        out.emplace_back(line, std::move(ending));
    };
    const std::string end = lineEnd(text, textLines);
    for (std::size_t i = 0; i <= textLines.size(); ++i) {
        for (std::size_t w = 0; i == span.afterOptions && w < lines.size(); ++w) {
            if (replaced[w] == textLines.size()) {
                // The line end of the line before it, so that a CR it ends with
                // never meets the LF of a blank line after it as one CR LF.
                write(lines[w].text, {},
                      out.empty() || out.back().second.empty() ? end : out.back().second);
            }
        }
        if (i == textLines.size()) {
            break;
        }
        const ConfigTextLine& line = textLines[i].span;
        const std::string own = text.substr(line.start, line.length);
        std::string ending = text.substr(line.start + line.length, line.endLength);
        std::size_t w = 0;
        while (w < lines.size() && replaced[w] != i) {
            ++w;
        }
        if (w < lines.size()) {
            write(indentation(own) + lines[w].text, own, std::move(ending));
        } else {
            out.emplace_back(own, std::move(ending));
        }
    }
    edited = text.substr(0, configTextStart(text));
    for (std::size_t k = 0; k < out.size(); ++k) {
        // A last line without a line end takes one when a line follows it.
        edited +=
            out[k].first + (out[k].second.empty() && k + 1 < out.size() ? end : out[k].second);
    }
    std::vector<DeviceSection> sections;
    FileError error;
    if (!parseConfigText(edited, "", sections, error)) {
        problem = "its line " + std::to_string(error.line) + " would be refused: " + error.message;
        return false;
    }
    return true;
}
