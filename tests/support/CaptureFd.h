// Captures standard output (or another descriptor, such as 2 for standard error) at
// the file-descriptor level, so that output of a
// loaded library with a runtime of its own (the Windows build links each
// library statically) is caught too.
#pragma once

#include <cstdio>
#include <string>

class CaptureFd {
public:
    explicit CaptureFd(int descriptor = 1);
    ~CaptureFd();
    CaptureFd(const CaptureFd&) = delete;
    CaptureFd& operator=(const CaptureFd&) = delete;

    std::string text();

private:
    std::FILE* file;
    int descriptor;
    int saved;
};
