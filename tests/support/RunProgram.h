// Runs a program built beside the tests through the system's shell, as a user
// would, and gives back its exit status and what it wrote to each channel.
// The tests that use it run in the build's bin/ folder.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int status = -1;
    std::string out; // standard output, line ends as LF
    std::string err; // standard error, line ends as LF
};

// Runs `program` (a base name, without ".exe") with `arguments` (no quoting).
ProgramRun runProgram(const std::string& program, const std::string& arguments);

// Runs a command line in the system's shell; answers the exit status.
int runShell(const std::string& command);

// The command line that starts `program` from bin/.
std::string programCommand(const std::string& program);

// The shell is a POSIX one (sh), not cmd.
bool posixShell();

// The lines of a text, without their line ends (LF or CR LF).
std::vector<std::string> textLines(const std::string& text);

// A text file's content, line ends as LF.
std::string readText(const std::string& file);
