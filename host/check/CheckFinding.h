// One finding of trackhost --check: a problem or a warning at a line of the file.
#pragma once

#include <string>

struct CheckFinding {
    unsigned line = 0;    // 0 when the finding is about the file as a whole
    bool warning = false; // a warning alone does not fail the check
    std::string message;
};
