// Runs built programs through the system's shell: sh natively, cmd on Windows.
#include "RunProgram.h"

#include "platform/platform.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

int runShell(const std::string& command) {
    return platform::runCommand(command);
}

std::string programCommand(const std::string& program) {
    return platform::executableFolder() + program;
}

bool posixShell() {
    return platform::posixSystem();
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

std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}
