// The start of a program of ours on Win32: its arguments. Apart from the rest of
// the layer, so that a library of ours, which never asks for them, imports
// nothing more (the wide command line's words come from shell32).
#include "platform.h"
#include "utf16_win32.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(narrow(words[i]));
    }
    LocalFree(words);
    return arguments;
}

} // namespace platform
