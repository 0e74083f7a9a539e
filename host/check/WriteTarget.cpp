// The files trackhost never writes over, told by their names and their first bytes.
#include "host/check/WriteTarget.h"

#include "host/input/ConfigFile.h"
#include "platform/platform.h"

#include <cstdio>
#include <vector>

namespace {

// What the first bytes of the file at `path` say it is: "ELF" or "PE" for a program
// or a library (a Windows one starts with "MZ"); empty for anything else.
std::string executableFormat(const std::string& path) {
    std::FILE* file = platform::openFile(path, "rb");
    if (file == nullptr) {
        return {};
    }
    unsigned char head[4] = {};
    const std::size_t count = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (count == 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') {
        return "ELF";
    }
    return count >= 2 && head[0] == 'M' && head[1] == 'Z' ? "PE" : std::string();
}

// The file at `path` is a configuration trackhost reads: one section at least.
bool readableConfiguration(const std::string& path) {
    std::vector<DeviceSection> sections;
    FileError error;
    return readConfigFile(path, sections, error) && !sections.empty();
}

} // namespace

std::string fileNameProblem(const std::string& role, const std::string& path) {
    if (path.empty()) {
        return role + " wants a file name";
    }
    if (platform::reservedDeviceName(path)) {
        return role + " " + path +
               " is a device's name on Windows (the console, a printer, a serial port), " +
               "not a file's";
    }
    return {};
}

std::string writeTargetProblem(const std::string& role, const std::string& path,
                               WrittenContent content) {
    const std::string named = role + " " + path;
    if (const std::string problem = fileNameProblem(role, path); !problem.empty()) {
        return problem;
    }
    platform::FileIdentity identity;
    if (!platform::fileIdentity(path, identity) || !identity.regular) {
        return {};
    }
    const std::string format = executableFormat(path);
    if (!format.empty()) {
        return named + " is a program or a library (" + format +
               "); trackhost never writes over one";
    }
    if (content == WrittenContent::records && readableConfiguration(path)) {
        return named + " is a configuration; trackhost never writes records over one";
    }
    return {};
}
