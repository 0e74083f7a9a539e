// Test helpers for standard output.
#include "CaptureStdout.h"

#include "support/CLoggerH.h"

#include <iostream>

CaptureStdout::CaptureStdout() : scope({&CaptureStdout::collect, this}) {}

void CaptureStdout::collect(void* capture, const char* text, std::size_t size) {
    static_cast<CaptureStdout*>(capture)->buffer.write(text, static_cast<std::streamsize>(size));
}

void resetStdoutFormat() {
    std::cout.flags(std::ios_base::dec | std::ios_base::skipws);
    std::cout.precision(6);
    std::cout.width(0);
    std::cout.fill(' ');
}

CLoggerH plainLogger(const char* name, int debugLevel) {
    CLoggerH logger;
    logger.dateOn = 0;
    logger.timeOn = 0;
    logger.threadIdOn = 0;
    logger.setName(name);
    logger.debugLevel = debugLevel;
    return logger;
}

std::string linesAfter(const std::string& text, const std::string& head) {
    std::string lines;
    for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
        lines += text.substr(at + head.size(), text.find('\n', at) - at - head.size() + 1);
    }
    return lines;
}
