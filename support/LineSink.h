// Where the loggers' lines leave: one sink for the whole module, standard output
// unless a caller replaces it, handed each line whole in one call under one lock,
// so that lines written by several threads at once never mix. The values in the
// lines are written in standard output's number format, which is kept here too.
#pragma once

#include <cstddef>
#include <ios>

// A receiver of whole lines. `write` gets each line with its newline, never from two
// threads at once; it must not throw. A null `write` stands for standard output.
struct LineSink {
    void (*write)(void* context, const char* text, std::size_t size);
    void* context;
};

// Sends every line to `sink` from now on and answers the sink it replaces, so that
// a caller can put that one back.
LineSink setLineSink(LineSink sink);

// A sink that drops every line.
void dropLine(void* context, const char* text, std::size_t size);
inline constexpr LineSink droppedLines{&dropLine, nullptr};

// Sends the lines to `sink` while it lives, and then back to the sink before.
class LineSinkScope {
public:
    explicit LineSinkScope(LineSink sink) : replaced(setLineSink(sink)) {}
    ~LineSinkScope() { setLineSink(replaced); }
    LineSinkScope(const LineSinkScope&) = delete;
    LineSinkScope& operator=(const LineSinkScope&) = delete;

private:
    LineSink replaced;
};

// Hands one whole line, its newline included, to the sink: to standard output by
// default, written and flushed in one piece (text beyond ASCII reaches a Windows
// console by its wide call, so that it shows as written). Errors of the output are
// ignored.
void writeLine(const char* text, std::size_t size) noexcept;

// Standard output's number format (flags, precision, width, fill) at one moment.
struct NumberFormat {
    std::ios_base::fmtflags flags;
    std::streamsize precision;
    std::streamsize width;
    char fill;
};

// Gives `line` standard output's number format and locale, as if its values were
// written to standard output itself, and answers the format it gave.
NumberFormat takeOutputFormat(std::ios& line) noexcept;

// When `line`'s number format is no longer the one it took, standard output takes
// the change, so that a format one line sets holds for the lines after it.
void keepOutputFormat(const std::ios& line, const NumberFormat& taken) noexcept;
