// Captures the lines that the loggers of the code under test write to standard
// output, by taking their line sink.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>

#include "support/LineSink.h"

class CaptureStdout {
public:
    CaptureStdout();
    CaptureStdout(const CaptureStdout&) = delete;
    CaptureStdout& operator=(const CaptureStdout&) = delete;

    std::string text() const { return buffer.str(); }
    void clear() { buffer.str({}); }

private:
    static void collect(void* capture, const char* text, std::size_t size);

    std::ostringstream buffer;
    LineSinkScope scope;
};

// The lines of `text` that hold `head`, each from just after it.
std::string linesAfter(const std::string& text, const std::string& head);

// Sets standard output's format back to the stream's initial state.
void resetStdoutFormat();

struct CLoggerH;
// A logger whose line head is only its name (no date, time or thread ID).
CLoggerH plainLogger(const char* name, int debugLevel = 0);
