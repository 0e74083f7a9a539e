// The start of a program of ours on Win32: its arguments, its console and its
// library search. Apart
// from the rest of the layer, so that a library of ours, which never asks for
// them, imports nothing more (the wide command line's words come from shell32).
#include "platform.h"
#include "utf16_win32.h"

#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include <ostream>
#include <streambuf>

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

// The program's folder takes the current folder's place in the search, where it
// is the same folder the search starts with. (Wine keeps the current folder for an
// empty dll folder, which Windows takes it out for.)
bool keepCurrentFolderOutOfLibrarySearch() {
    const std::string folder = executableFolder();
    return !folder.empty() && SetDllDirectoryW(widen(folder).c_str()) != 0;
}

namespace {

HANDLE consoleOf(std::FILE* file) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// The bytes at the end of `text` that begin a UTF-8 sequence without ending it.
std::size_t unfinishedTail(const std::string& text) {
    std::size_t start = text.size();
    while (start > 0 && text.size() - start < 3 &&
           (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
    }
    if (start == 0) {
        return 0;
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::size_t have = text.size() - start + 1;
    return have < length ? have : 0;
}

bool allAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Writes through at once, as the C stream did. Text with letters beyond ASCII
// reaches a console as UTF-16 by its wide call; everything else (ASCII, or a
// stream sent elsewhere since) goes as bytes through the C stream, as before.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(std::FILE* file) : file(file) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    // A flush of the stream reaches the console through the C stream's own buffer.
    int sync() override { return std::fflush(file) == 0 ? 0 : -1; }

private:
    bool put(const char* text, std::size_t count);

    std::FILE* file;
    std::string pending; // the start of a character the next write ends
};

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char character = traits_type::to_char_type(c);
    return put(&character, 1) ? c : traits_type::eof();
}

std::streamsize ConsoleBuffer::xsputn(const char* text, std::streamsize count) {
    return put(text, static_cast<std::size_t>(count)) ? count : 0;
}

bool ConsoleBuffer::put(const char* text, std::size_t count) {
    pending.append(text, count);
    const HANDLE console = allAscii(pending) ? nullptr : consoleOf(file);
    if (console == nullptr) {
        const bool written = std::fwrite(pending.data(), 1, pending.size(), file) == pending.size();
        pending.clear();
        return written;
    }
    const std::size_t keep = unfinishedTail(pending);
    const std::wstring wide = widen(pending.substr(0, pending.size() - keep));
    pending.erase(0, pending.size() - keep);
    // What the C stream still holds goes first.
    std::fflush(file);
    DWORD written = 0;
    return wide.empty() ||
           WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

} // namespace

// Kept to the end of the process: the standard streams are flushed after every
// object of ours has gone.
void showUtf8OnConsole(std::ostream& stream, std::FILE* file) {
    if (consoleOf(file) != nullptr && dynamic_cast<ConsoleBuffer*>(stream.rdbuf()) == nullptr) {
        std::fflush(file);
        stream.rdbuf(new ConsoleBuffer(file));
    }
}

} // namespace platform
