// Captures standard output at the file-descriptor level, so that output of a
// loaded library with a runtime of its own (the Windows build links each
// library statically) is caught too.
#pragma once

#include <cstdio>
#include <string>

class CaptureFd {
public:
    CaptureFd();
    ~CaptureFd();
    CaptureFd(const CaptureFd&) = delete;
    CaptureFd& operator=(const CaptureFd&) = delete;

    std::string text();

private:
    std::FILE* file;
    int saved;
};
