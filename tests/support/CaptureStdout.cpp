// Test helpers for standard output.
#include "CaptureStdout.h"

#include "support/CLoggerH.h"

#include <iostream>

CaptureStdout::CaptureStdout() : saved(std::cout.rdbuf(buffer.rdbuf())) {}

CaptureStdout::~CaptureStdout() {
    std::cout.rdbuf(saved);
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
