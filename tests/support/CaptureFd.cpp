// File-descriptor level capture of standard output.
#include "CaptureFd.h"

#include <unistd.h>

#include <iostream>

CaptureFd::CaptureFd(int descriptor) : file(std::tmpfile()), descriptor(descriptor), saved(-1) {
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    if (file != nullptr) {
        saved = dup(descriptor);
        dup2(fileno(file), descriptor);
    }
}

CaptureFd::~CaptureFd() {
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, descriptor);
        close(saved);
    }
    if (file != nullptr) {
        std::fclose(file);
    }
}

std::string CaptureFd::text() {
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::string content;
    if (file == nullptr) {
        return content;
    }
    const long end = lseek(fileno(file), 0, SEEK_CUR);
    lseek(fileno(file), 0, SEEK_SET);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fileno(file), buffer, sizeof buffer)) > 0) {
        content.append(buffer, static_cast<std::size_t>(got));
    }
    lseek(fileno(file), end, SEEK_SET);
    return content;
}
