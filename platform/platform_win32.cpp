// Win32 implementation of the platform layer (the 32-bit Windows DLL).
#include "platform.h"
#include "utf16_win32.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/timeb.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

thread_local ErrorCode lastLibraryError = 0;

// The length of `text` in UTF-16 characters as `codePage` reads it; 0 when it is
// empty or, with `flags` MB_ERR_INVALID_CHARS, not valid in that code page.
int wideLength(const std::string& text, UINT codePage, DWORD flags) {
    return MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                               0);
}

// A UTF-8 text with a letter beyond ASCII, which the ANSI code page would misread.
bool utf8BeyondAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return wideLength(text, CP_UTF8, MB_ERR_INVALID_CHARS) > 0;
        }
    }
    return false;
}

HMODULE loadWide(const std::string& fileName) {
    const std::wstring name = widen(fileName);
    HMODULE library = LoadLibraryW(name.c_str());
    if (library == nullptr) {
        lastLibraryError = GetLastError();
    }
    return library;
}

// The system's text for a loader error, as UTF-8.
std::string wideErrorText(ErrorCode error) {
    LPWSTR text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&text),
        0, nullptr);
    std::string result = (length > 0 && text != nullptr) ? narrow(text) : std::to_string(error);
    if (text != nullptr) {
        LocalFree(text);
    }
    return result;
}

// The file a module was loaded from; empty when it is unknown or longer than MAX_PATH.
std::string moduleFileName(HMODULE module) {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : narrow(path);
}

} // namespace

std::wstring widen(const std::string& text) {
    UINT codePage = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    int length = wideLength(text, codePage, flags);
    if (length == 0) {
        codePage = CP_ACP;
        flags = 0;
        length = wideLength(text, codePage, flags);
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0],
                            length);
    }
    return wide;
}

std::string narrow(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], length, nullptr, nullptr);
    result.pop_back(); // the NUL
    return result;
}

namespace {

// The errno value of a Win32 file error, as the C runtime's fopen would set it.
int fileErrno(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EACCES;
    }
}

} // namespace

// A file opened for writing shares its deletion, which a rename needs, as well as
// reading and writing, as _wfopen shares these.
std::FILE* openFile(const std::string& path, const char* mode) {
    const std::string text = mode;
    if (text.empty() || text[0] == 'r') {
        return _wfopen(widen(path).c_str(), widen(mode).c_str());
    }
    const bool append = text[0] == 'a';
    const bool update = text.find('+') != std::string::npos;
    const bool exclusive = text.back() == 'x';
    const HANDLE handle =
        CreateFileW(widen(path).c_str(), GENERIC_WRITE | (update ? GENERIC_READ : 0),
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    exclusive ? CREATE_NEW
                    : append  ? OPEN_ALWAYS
                              : CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = fileErrno(GetLastError());
        return nullptr;
    }
    const int flags = (text.find('b') != std::string::npos ? _O_BINARY : _O_TEXT) |
                      (append ? _O_APPEND : 0) | (update ? _O_RDWR : _O_WRONLY);
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), flags);
    if (descriptor < 0) {
        CloseHandle(handle);
        errno = EMFILE;
        return nullptr;
    }
    std::FILE* file =
        _fdopen(descriptor, exclusive ? text.substr(0, text.size() - 1).c_str() : mode);
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

bool isDevice(const std::string& path) {
    const HANDLE handle =
        CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool device = GetFileType(handle) != FILE_TYPE_DISK;
    CloseHandle(handle);
    return device;
}

bool flushToDisk(std::FILE* file, int& error) {
    errno = 0;
    if (std::fflush(file) != 0) {
        error = errno != 0 ? errno : EIO;
        return false;
    }
    // Only a file on a disk is put there; NUL or a pipe needs nothing.
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) == FILE_TYPE_DISK && !FlushFileBuffers(handle)) {
        error = fileErrno(GetLastError());
        return false;
    }
    return true;
}

bool replaceFile(const std::string& from, const std::string& to, int& error) {
    if (!MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = fileErrno(GetLastError());
        return false;
    }
    return true;
}

bool replaceFileWithBackup(const std::string& from, const std::string& to,
                           const std::string& backup, int& error) {
    const std::wstring target = widen(to);
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return replaceFile(from, to, error);
    }
    if (!ReplaceFileW(target.c_str(), widen(from).c_str(), widen(backup).c_str(),
                      REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        error = fileErrno(GetLastError());
        return false;
    }
    return true;
}

std::string linkedFile(const std::string& path) {
    return path;
}

bool removeFile(const std::string& path) {
    return DeleteFileW(widen(path).c_str()) != 0;
}

bool reservedDeviceName(const std::string& path) {
    // The last name of the path, up to its first dot, trailing blanks and a colon
    // (COM1:) left off, as Windows reads it.
    std::string name = path;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) {
        name.pop_back();
    }
    const std::size_t folder = name.find_last_of(folderSeparators());
    name = name.substr(folder == std::string::npos ? 0 : folder + 1);
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "CONIN$" || name == "CONOUT$") {
        return true;
    }
    return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) &&
           name[3] >= '1' && name[3] <= '9';
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The loader itself looks beside the executable first and appends ".dll" to a
// name without an extension. A name that loads in the ANSI code page loads as it
// always has.
LibraryHandle loadLibrary(const char* fileName) {
    HMODULE library = LoadLibraryA(fileName);
    if (library == nullptr) {
        lastLibraryError = GetLastError();
        if (utf8BeyondAscii(fileName)) {
            library = loadWide(fileName);
        }
    }
    return reinterpret_cast<LibraryHandle>(library);
}

namespace {

bool isFileAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A folder the system names through `get` (GetSystemDirectoryW and its kind).
std::string systemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
    wchar_t path[MAX_PATH + 1] = {};
    const UINT length = get(path, MAX_PATH + 1);
    return length == 0 || length > MAX_PATH ? std::string() : narrow(path);
}

// The folders a bare library name is looked for in after the program's, in the
// loader's order.
std::vector<std::string> librarySearchFolders() {
    const std::string windows = systemFolder(GetWindowsDirectoryW);
    std::vector<std::string> folders{systemFolder(GetSystemDirectoryW),
                                     windows.empty() ? windows : windows + "\\System", windows};
    wchar_t own[MAX_PATH + 1] = {};
    const DWORD length = GetDllDirectoryW(MAX_PATH + 1, own);
    folders.push_back(length > 0 && length <= MAX_PATH ? narrow(own) : currentFolder());
    wchar_t path[32768] = {};
    const DWORD pathLength = GetEnvironmentVariableW(L"PATH", path, 32768);
    const std::string entries = pathLength > 0 && pathLength < 32768 ? narrow(path) : "";
    for (std::size_t start = 0; start < entries.size();) {
        const std::size_t end = std::min(entries.find(';', start), entries.size());
        folders.push_back(entries.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

} // namespace

std::string findLibrary(const std::string& fileName, const std::string&) {
    if (fileName.find_first_of("\\/:") != std::string::npos || fileName.empty()) {
        return fileName;
    }
    const std::string name =
        fileName.find('.') == std::string::npos ? libraryFileName(fileName) : fileName;
    if (const LibraryHandle loaded = loadedLibrary(name.c_str())) {
        const std::string path = libraryPath(loaded);
        freeLibrary(loaded);
        if (!path.empty()) {
            return path;
        }
    }
    std::vector<std::string> folders{executableFolder()};
    for (const std::string& folder : librarySearchFolders()) {
        folders.push_back(folder);
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) {
            continue;
        }
        const char last = folder.back();
        const std::string path = folder + (last == '\\' || last == '/' ? "" : "\\") + name;
        if (isFileAt(path)) {
            return path;
        }
    }
    return fileName;
}

LibraryHandle loadLibraryUtf8(const std::string& fileName) {
    return reinterpret_cast<LibraryHandle>(loadWide(fileName));
}

std::string libraryPath(LibraryHandle library) {
    return library != nullptr ? moduleFileName(reinterpret_cast<HMODULE>(library)) : std::string();
}

namespace {

// The identity of an open handle: only a file on a disk has one.
bool handleIdentity(HANDLE handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr ||
        GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information)) {
        return false;
    }
    identity.volume = information.dwVolumeSerialNumber;
    identity.index =
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    identity.regular = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    return true;
}

} // namespace

bool fileIdentity(const std::string& path, FileIdentity& identity) {
    // No access asked: a file that others hold open, a loaded library too, still answers.
    const HANDLE handle =
        CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = handleIdentity(handle, identity);
    CloseHandle(handle);
    return known;
}

bool streamIdentity(std::FILE* stream, FileIdentity& identity) {
    return stream != nullptr &&
           handleIdentity(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), identity);
}

std::string libraryError() {
    std::string text = wideErrorText(lastLibraryError);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

void* librarySymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void freeLibrary(LibraryHandle library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

LibraryHandle loadedLibrary(const char* fileName) {
    // Without flags the call counts a reference, which freeLibrary gives back.
    HMODULE module = nullptr;
    return GetModuleHandleExW(0, widen(fileName).c_str(), &module)
               ? reinterpret_cast<LibraryHandle>(module)
               : nullptr;
}

LibraryHandle libraryHolding(const void* address) {
    // Counted as loadedLibrary counts it, for freeLibrary to give back.
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address),
                              &module)
               ? reinterpret_cast<LibraryHandle>(module)
               : nullptr;
}

std::string libraryFileName(const std::string& baseName) {
    return baseName + ".dll";
}

std::string executableFolder() {
    const std::string path = moduleFileName(nullptr);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string executablePath() {
    return moduleFileName(nullptr);
}

bool writableFile(const std::string& path, int& error) {
    // Opened for writing as it is, neither created nor emptied, and closed at once.
    // (Devices such as Wine's /dev/full answer this, though they have no attributes.)
    const std::wstring name = widen(path);
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        error = 0;
        return true;
    }
    const DWORD code = GetLastError();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    // A new file in an existing folder; a missing folder is ERROR_PATH_NOT_FOUND.
    error = code == ERROR_FILE_NOT_FOUND ? 0
            : attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                ? EISDIR
                : fileErrno(code);
    return error == 0;
}

std::string currentFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    const std::string folder = narrow(path);
    return folder.back() == '\\' || folder.back() == '/' ? folder : folder + '\\';
}

std::string dependencyFolder(const std::string&) {
    // The loader looks beside the program first, wherever the library itself lies.
    return executableFolder();
}

MutexHandle createMutex() {
    return CreateMutexA(nullptr, FALSE, nullptr);
}

void destroyMutex(MutexHandle mutex) {
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
}

bool waitMutex(MutexHandle mutex, ErrorCode& error) {
    if (WaitForSingleObject(mutex, INFINITE) == WAIT_OBJECT_0) {
        return true;
    }
    // An abandoned wait sets no error code of its own; the caller owns the mutex.
    error = GetLastError();
    return false;
}

bool releaseMutex(MutexHandle mutex, ErrorCode& error) {
    if (ReleaseMutex(mutex)) {
        return true;
    }
    error = GetLastError();
    return false;
}

std::string errorText(ErrorCode error) {
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text),
        0, nullptr);
    std::string result =
        (length > 0 && text != nullptr) ? std::string(text, length) : std::to_string(error);
    if (text != nullptr) {
        LocalFree(text);
    }
    return result;
}

std::uint32_t currentThreadId() {
    return GetCurrentThreadId();
}

void readWallClock(WallClock& clock) {
    __timeb32 now{};
    _ftime32(&now);
    clock.seconds = static_cast<std::int32_t>(now.time);
    clock.milliseconds = now.millitm;
    clock.timezone = now.timezone;
    clock.dstFlag = now.dstflag;
    clock.padding = 0;
}

bool localTime(std::time_t time, std::tm& local) {
    return localtime_s(&local, &time) == 0;
}

bool utcTime(std::time_t time, std::tm& utc) {
    return gmtime_s(&utc, &time) == 0;
}

bool posixSystem() {
    return false;
}

const char* folderSeparators() {
    return "/\\:";
}

bool sameFileName(const std::string& a, const std::string& b) {
    const std::wstring first = widen(a);
    const std::wstring second = widen(b);
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

int runCommand(const std::string& commandLine) {
    // The command interpreter drops the outer quotes of its /c argument.
    return _wsystem(widen("\"" + commandLine + "\"").c_str());
}

// The C runtime's descriptor 1 and stdout are shared by every module that uses
// that runtime; the standard handle reaches those that write to it directly.
std::FILE* separateStdout() {
    std::fflush(stdout);
    const int saved = _dup(1);
    if (saved < 0) {
        return nullptr;
    }
    std::FILE* original = _fdopen(saved, "w");
    if (original == nullptr) {
        _close(saved);
        return nullptr;
    }
    if (_dup2(2, 1) != 0) {
        std::fclose(original);
        return nullptr;
    }
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return original;
}

bool discardStdout() {
    std::fflush(stdout);
    const int null = _open("NUL", _O_WRONLY);
    if (null < 0) {
        return false;
    }
    const bool moved = _dup2(null, 1) == 0;
    _close(null);
    if (moved) {
        SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(1)));
    }
    return moved;
}

namespace {

void (*hangUpHandler)(int) = nullptr;

// Runs on a thread of its own that the system starts for the event. Ctrl-C and
// Ctrl-Break end a run as Ctrl-C does on POSIX. For a closed console window, a
// logoff or a shutdown, the system ends the process once this returns, and a few
// seconds after the event at the latest: so it waits, and the main thread finishes
// the run meanwhile (records and recording complete, devices stopped) and ends the
// process itself.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (hangUpHandler == nullptr) {
        return FALSE;
    }
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        hangUpHandler(SIGINT);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        hangUpHandler(SIGTERM);
        Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void catchHangUp(void (*handler)(int)) {
    hangUpHandler = handler;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

// Win32 has no signal for a closed pipe: the write fails with EPIPE or EINVAL.
void ignoreBrokenPipe() {}

// The C runtime reports a pipe whose reader has gone as EINVAL; the system's
// own error tells it apart.
bool writeHitClosedPipe(int error) {
    const DWORD system = GetLastError();
    return error == EPIPE || system == ERROR_NO_DATA || system == ERROR_BROKEN_PIPE ||
           system == ERROR_PIPE_NOT_CONNECTED;
}

bool isTerminal(std::FILE* stream) {
    return stream != nullptr && _isatty(_fileno(stream)) != 0;
}

bool enableTerminalEscapes(std::FILE* stream) {
    if (!isTerminal(stream)) {
        return false;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    // A character device that is no console (NUL, a serial line) has no console mode.
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) {
        return false;
    }
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void writeTerminal(std::FILE* stream, const std::string& text) {
    std::fflush(stream);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && GetConsoleMode(handle, &mode)) {
        // Names beyond ASCII reach a console by its wide call, whatever its code page.
        const std::wstring wide = widen(text);
        DWORD count = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &count, nullptr);
        return;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        DWORD count = 0;
        if (!WriteFile(handle, text.data() + written, static_cast<DWORD>(text.size() - written),
                       &count, nullptr) ||
            count == 0) {
            return; // a console that is gone takes nothing more
        }
        written += count;
    }
}

// A console that counts the columns of what it is written, escapes included (Wine's
// does), would wrap the lines after them early: the console's calls move nothing it
// counts.
void eraseTerminalLines(std::FILE* stream, std::size_t lines) {
    std::fflush(stream);
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(handle, &info)) {
        writeTerminal(stream, "\r\x1b[" + std::to_string(lines) + "A\x1b[J");
        return;
    }
    const SHORT up = static_cast<SHORT>(std::min<std::size_t>(lines, info.dwCursorPosition.Y));
    const COORD start{0, static_cast<SHORT>(info.dwCursorPosition.Y - up)};
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(up + 1);
    DWORD done = 0;
    FillConsoleOutputCharacterW(handle, L' ', cells, start, &done);
    FillConsoleOutputAttribute(handle, info.wAttributes, cells, start, &done);
    SetConsoleCursorPosition(handle, start);
}

std::size_t terminalColumns(std::FILE* stream) {
    if (!isTerminal(stream)) {
        return 0;
    }
    CONSOLE_SCREEN_BUFFER_INFO info;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (!GetConsoleScreenBufferInfo(handle, &info)) {
        return 0;
    }
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

std::uint32_t hostToNet(std::uint32_t value) {
    return htonl(value);
}

std::uint32_t netToHost(std::uint32_t value) {
    return ntohl(value);
}

} // namespace platform
