// A section's option lines written into a configuration file's text, where they
// stand, with every byte the edit does not write kept: comments, blank lines, order,
// other sections, line ends and a byte-order mark.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A line to write, and the kind of line it replaces (a setting, whatever its keyword's
// spelling); kinds are the caller's, from 0.
struct WrittenLine {
    int kind;
    std::string text;
};

// The kind of an option line with this keyword, or -1 for one the edit keeps.
using LineKindOf = std::function<int(const std::string& keyword)>;

// One line the edit wrote: its number in the edited text, and the line it replaced
// (empty when it was added).
struct LineChange {
    unsigned line;
    std::string text;
    std::string was;
};

// Writes `lines` into the first section named `section` of `text`: the section's last
// line of each kind is replaced where it stands (its indentation and line end kept);
// a kind the section lacks is added at its end, after its last option line, so before
// the comments that lead into the next section. Added lines end as the line before
// them does (as the file's first line does after a last line without a line end, LF
// in a file without one); a last line without a line end gets one before anything
// follows it. False with `problem` when the text does not parse or
// has no such section, or the edited text would not parse (a section past its
// lines).
bool editConfigSection(const std::string& text, const std::string& section,
                       const std::vector<WrittenLine>& lines, const LineKindOf& kindOf,
                       std::string& edited, std::vector<LineChange>& changes, std::string& problem);
