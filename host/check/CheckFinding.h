// One finding of trackhost's configuration checker: a problem, a warning or a note
// at a line of the file.
#pragma once

#include <string>

struct CheckFinding {
    enum class Kind {
        problem, // init would refuse the file: the check fails, a run does not start
        warning, // accepted, but almost surely a mistake
        note     // help for the finding before it
    };

    unsigned line = 0; // 0 when the finding is about the file as a whole
    Kind kind = Kind::problem;
    std::string message;

    bool isProblem() const { return kind == Kind::problem; }
};
