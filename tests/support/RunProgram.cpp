// Runs built programs through the system's shell: sh natively, cmd on Windows.
#include "RunProgram.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <sys/wait.h>
#endif

int runShell(const std::string& command) {
    const int result = std::system(command.c_str());
#ifdef _WIN32
    return result;
#else
    return result != -1 && WIFEXITED(result) ? WEXITSTATUS(result) : -1;
#endif
}

std::string programCommand(const std::string& program) {
    return posixShell() ? "./" + program : program + ".exe";
}

bool posixShell() {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

std::string readText(const std::string& file) {
    std::ifstream stream(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(stream), {});
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lines += text[i];
        }
    }
    return lines;
}

ProgramRun runProgram(const std::string& program, const std::string& arguments) {
    const std::string out = program + "-test-stdout.txt";
    const std::string err = program + "-test-stderr.txt";
    ProgramRun run;
    run.status = runShell(programCommand(program) + " " + arguments + " >" + out + " 2>" + err);
    run.out = readText(out);
    run.err = readText(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
}
