// Captures what the code under test writes to standard output.
#pragma once

#include <iosfwd>
#include <sstream>
#include <string>

class CaptureStdout {
public:
    CaptureStdout();
    ~CaptureStdout();
    CaptureStdout(const CaptureStdout&) = delete;
    CaptureStdout& operator=(const CaptureStdout&) = delete;

    std::string text() const { return buffer.str(); }
    void clear() { buffer.str({}); }

private:
    std::ostringstream buffer;
    std::streambuf* saved;
};

// The lines of `text` that hold `head`, each from just after it.
std::string linesAfter(const std::string& text, const std::string& head);

// Sets standard output's format back to the stream's initial state.
void resetStdoutFormat();

struct CLoggerH;
// A logger whose line head is only its name (no date, time or thread ID).
CLoggerH plainLogger(const char* name, int debugLevel = 0);
