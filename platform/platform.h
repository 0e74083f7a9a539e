// The thin operating-system layer. Everything above it (support/, tracker/,
// device/) reaches the system only through these declarations; the build picks
// platform_win32.cpp or platform_posix.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iosfwd>
#include <string>
#include <vector>

namespace platform {

// ---- names and text -------------------------------------------------------------
// The names of files and folders this layer takes and answers are UTF-8, on POSIX
// the bytes as they are. On Win32 they reach the system as UTF-16, whatever the
// ANSI code page; a name that is not UTF-8 (from a file written in the ANSI code
// page) is read in the ANSI code page, as before names were UTF-8.

// The program's arguments, its own name first, as UTF-8: on Win32 taken from the
// wide command line, so that a name in any script arrives as it was typed; on
// POSIX `argv` as it is.
std::vector<std::string> programArguments(int argc, char** argv);
// Lets `stream`, which writes to the C stream `file`, show UTF-8 text as such on
// a console: on Win32 its text beyond ASCII then reaches a console as UTF-16, by
// the console's wide call, whatever the console's code page. ASCII, and anything
// written to a file or a pipe, goes as bytes through `file` as before. A stream
// that already shows its text so is left as it is. Nothing to do on POSIX.
void showUtf8OnConsole(std::ostream& stream, std::FILE* file);

// ---- files ---------------------------------------------------------------------
// Opens the file at `path` as std::fopen does with `mode`; null with errno set when
// it cannot. An `x` at the end of a writing mode ("wx", "wbx") creates the file only
// when there is none of that name (EEXIST). On Win32 a file opened for writing may be
// renamed and removed while it is open, as on POSIX.
std::FILE* openFile(const std::string& path, const char* mode);
// The file at `path`, following links, is a folder.
bool isFolder(const std::string& path);
// The name `path` stands for a device, a pipe or a terminal, not a file of data:
// /dev/null, a FIFO; on Win32 NUL, CON or COM1, in any letter case and folder.
bool isDevice(const std::string& path);
// Writes what the C stream `file` buffers and has the system put it on the disk
// (fsync; on Win32 FlushFileBuffers through _commit); a device or pipe has nothing
// to put there. False with the reason as an errno value in `error`.
bool flushToDisk(std::FILE* file, int& error);
// Renames the file `from` over `to` in one step, whether or not `to` exists, and
// writes the change of names through to the disk: a crash leaves the one file or the
// other under `to`, never neither. The two are in one folder. A file that is still
// open keeps being written under its new name (on Win32 when openFile opened it).
// False with the reason as an errno value in `error`; nothing is renamed then.
bool replaceFile(const std::string& from, const std::string& to, int& error);
// The same, keeping what `to` held as `backup` (replaced if it exists), while `to`
// always names one of the files; `from` must be closed. Without a `to`, as replaceFile.
bool replaceFileWithBackup(const std::string& from, const std::string& to,
                           const std::string& backup, int& error);
// The file `path` stands for in the end: on POSIX, through its symbolic links, so
// that the file they lead to is replaced and they stay; `path` itself when it is no
// link, when the file it leads to does not exist, and on Win32.
std::string linkedFile(const std::string& path);
// Removes the file at `path`; false when it cannot (on Win32 a file that is still
// open goes once it is closed).
bool removeFile(const std::string& path);
// A name Windows keeps for a device in any folder (CON, PRN, AUX, COM1 to COM9, LPT1
// to LPT9, CONIN$, CONOUT$, in any letter case, with or without an extension), which
// takes what is written to it as a device does: false on POSIX, where they are names
// like any other, and for NUL, the null device, as /dev/null is on POSIX.
bool reservedDeviceName(const std::string& path);

// ---- dynamic libraries -----------------------------------------------------
using LibraryHandle = void*;

// Loads a library by file name; null when it cannot be loaded. A bare name is
// looked for beside the executable first; a bare name without an extension is
// completed as this platform names libraries ("x": "x.dll" or "libx.so").
// The name is a calibration line's, as a host has always written it: on Win32 it
// is loaded as bytes in the ANSI code page first, and only a UTF-8 name with
// letters beyond ASCII that does not load so is tried as UTF-8.
LibraryHandle loadLibrary(const char* fileName);
// The file loadLibrary would load for `fileName`, found by the loader's search
// without loading anything, so that no code of the library runs. A bare name is
// looked for in loadLibrary's folders in its order: on POSIX beside the program, a
// library of that name already loaded, LD_LIBRARY_PATH, `loaderFolder` (the folder
// of the library that loads it, whose run path is $ORIGIN), the system's library
// folders; on Win32 a module already loaded, the program's folder, the system's
// folders, the library folder the program set (else the current folder), PATH.
// `fileName` as it is when it has a folder in it or no folder holds it.
std::string findLibrary(const std::string& fileName, const std::string& loaderFolder);
// At a program's start: a library named bare is never looked for in the current
// folder, which anyone may fill. On Win32 the program's folder takes its place in
// the process's search order (SetDllDirectoryW), the system's folders and PATH
// staying; on POSIX
// the loader looks there only through an empty entry of a run path, which no file of
// ours has, or of LD_LIBRARY_PATH, which is the user's to set. False when it fails.
bool keepCurrentFolderOutOfLibrarySearch();
// Loads a library of the program's own, named in UTF-8 (an argument, or a path
// from executableFolder), as loadLibrary does otherwise.
LibraryHandle loadLibraryUtf8(const std::string& fileName);
// Why the last loadLibrary of this thread failed, in the system's words (UTF-8).
std::string libraryError();
// Address of an exported symbol; null when the library does not export it.
void* librarySymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);
// A library this process has already loaded (as a program's dependency or by
// loadLibrary), looked up by file name without loading anything; null when it is
// not loaded. The handle is released with freeLibrary.
LibraryHandle loadedLibrary(const char* fileName);
// The loaded library that holds the code at `address` (a function of it), without
// loading anything; null when none does. The handle is released with freeLibrary.
LibraryHandle libraryHolding(const void* address);
// File name of a dynamic library as this platform spells it: "x" -> "x.dll" or "libx.so".
std::string libraryFileName(const std::string& baseName);
// The folder of the running program, with its trailing separator; empty if unknown.
std::string executableFolder();
// The running program's own file; empty if unknown.
std::string executablePath();
// The folder where the loader first looks for the load-time dependencies of the
// library at `libraryPath` (as loadLibrary finds it), with its trailing separator:
// the library's own folder on POSIX (its run path $ORIGIN), the program's folder
// on Win32.
std::string dependencyFolder(const std::string& libraryPath);

// The file a loaded library was loaded from, as the loader found it; empty when
// unknown.
std::string libraryPath(LibraryHandle library);

// The process's current folder, with its trailing separator: where a relative name
// with a folder in it ("../lib/x.so") is found from. Empty if unknown.
std::string currentFolder();

// ---- file identity -----------------------------------------------------------
// What makes a file the same file under any of its names (a link, "./x"): the
// device and inode on POSIX, the volume serial number and file index on Win32.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool regular = false; // a file of data, not a terminal, pipe or other device
};
inline bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.index == b.index;
}

// The identity of the file at `path`, following links; false when there is no
// such file or the system cannot tell.
bool fileIdentity(const std::string& path, FileIdentity& identity);
// The identity of the file an open C stream writes to or reads from; false when
// the system cannot tell.
bool streamIdentity(std::FILE* stream, FileIdentity& identity);
// Whether a file could be opened for writing at `path`: an existing file (not a
// folder) this process may write, or a new one in an existing folder. Found out
// without creating or emptying anything (on Win32 an existing file is opened as it
// is and closed again); false with the reason as an errno value (ENOENT, EACCES,
// EISDIR, ...) in `error`.
bool writableFile(const std::string& path, int& error);

// ---- serial ports ----------------------------------------------------------
// A serial port of this machine: its name ("COM7", "/dev/ttyUSB0") and, where the
// system has one, the name its device manager shows ("USB Serial Port (COM7)").
struct SerialPort {
    std::string name;
    std::string description;
};
// The machine's serial ports as the system lists them, in its order; empty when it
// lists none or cannot tell.
std::vector<SerialPort> serialPorts();

// ---- mutex -----------------------------------------------------------------
// A process-wide mutex handle as stored in a host's mutex record. On Win32 it is
// a mutex HANDLE; on POSIX it points to a robust pthread mutex owned by the layer.
using MutexHandle = void*;
using ErrorCode = std::uint32_t;

// Host-side creation and destruction; null on failure.
MutexHandle createMutex();
void destroyMutex(MutexHandle mutex);

// Waits without time limit. True when the mutex was obtained normally; false
// otherwise, with the error code in `error`. An abandoned mutex (its owner ended
// while holding it) answers false but leaves the caller owning a usable mutex.
bool waitMutex(MutexHandle mutex, ErrorCode& error);
// Releases the mutex; false with the error code when the caller does not own it.
bool releaseMutex(MutexHandle mutex, ErrorCode& error);
// The system's message text for an error code, as the system gives it (Win32
// texts end in CR LF); the code as a decimal number when the system has none.
std::string errorText(ErrorCode error);

// ---- threads and time --------------------------------------------------------
// Numeric ID of the calling thread (the kernel's thread ID on Linux).
std::uint32_t currentThreadId();

// The wall clock with millisecond resolution, in the layout of the runtime's
// 32-bit time buffer: seconds since 1970 UTC, milliseconds, minutes west of UTC,
// daylight-saving flag, two bytes of padding. Host byte order.
struct WallClock {
    std::int32_t seconds;
    std::uint16_t milliseconds;
    std::int16_t timezone;
    std::int16_t dstFlag;
    std::uint16_t padding;
};
static_assert(sizeof(WallClock) == 12, "the clock buffer is 12 bytes");
static_assert(offsetof(WallClock, milliseconds) == 4 && offsetof(WallClock, timezone) == 6 &&
                  offsetof(WallClock, dstFlag) == 8,
              "clock buffer layout");

void readWallClock(WallClock& clock);

// Thread-safe conversion of a calendar time to local time; false when it fails.
bool localTime(std::time_t time, std::tm& local);
// The same for UTC.
bool utcTime(std::time_t time, std::tm& utc);

// ---- programs -----------------------------------------------------------------
// Runs a command line (UTF-8) through the system's command interpreter and answers
// the program's exit status; -1 when it could not be run.
int runCommand(const std::string& commandLine);
// The system is a POSIX one (the native build), not Win32.
bool posixSystem();
// The characters that end a folder in a file's name: the slash on POSIX; on Win32
// the backslash, the slash and a drive's colon ("C:x.dll").
const char* folderSeparators();
// Whether two names of files in one folder name the same file: byte for byte on
// POSIX; regardless of letter case (in any script) on Windows, as its file systems
// compare them.
bool sameFileName(const std::string& a, const std::string& b);

// ---- standard streams ---------------------------------------------------------
// Sends everything this process writes to standard output (descriptor 1, the
// runtime's stdout and the system's standard output handle, so libraries with
// runtimes of their own follow) to standard error instead, and answers a stream
// that still writes to the original standard output. Null when it fails; nothing
// has moved then.
std::FILE* separateStdout();
// Sends everything this process writes to standard output from now on (the same
// three ways) to the null device. False when it cannot; nothing has moved then.
bool discardStdout();
// A write to a closed pipe fails with EPIPE instead of ending the process.
void ignoreBrokenPipe();
// `handler` is called when the terminal the process runs in goes away: a hang-up
// (SIGHUP) on POSIX; on Windows Ctrl-C, Ctrl-Break, the console window closed, a
// logoff or a shutdown, after which the process has a few seconds to finish and
// end itself.
void catchHangUp(void (*handler)(int));
// A C stream write that just failed with errno `error` failed because the pipe's
// reader has gone; call it before any other system call.
bool writeHitClosedPipe(int error);

// ---- terminals -----------------------------------------------------------------
// Whether a stream writes to a terminal (a character device on Windows).
bool isTerminal(std::FILE* stream);
// Lets a terminal stream take ANSI cursor and erase sequences, which a Windows
// console must have switched on; false when the stream is no terminal that can.
bool enableTerminalEscapes(std::FILE* stream);
// The width of the terminal `stream` writes to, in columns; 0 when unknown.
std::size_t terminalColumns(std::FILE* stream);
// Writes `text` where `stream` writes, after what the stream holds, in one system
// call past the stream's own buffering, so that a terminal gets an escape sequence
// whole (a C runtime may write an unbuffered stream a piece at a time).
void writeTerminal(std::FILE* stream, const std::string& text);
// Takes the last `lines` lines above the cursor off the terminal `stream` writes to
// and puts the cursor at the first one's start: by ANSI escapes, or on a Windows
// console by its own cursor calls, which leave its count of columns as it was.
void eraseTerminalLines(std::FILE* stream, std::size_t lines);

// ---- byte order ----------------------------------------------------------------
std::uint32_t hostToNet(std::uint32_t value);
std::uint32_t netToHost(std::uint32_t value);

// ---- network (network_posix.cpp, network_win32.cpp) ------------------------------
// The addresses of this machine's interfaces that are up, as text (192.0.2.2,
// 2001:db8::2), in the system's order: loopback and link-local IPv6 left out (a URL
// with the latter would need the interface's name), IPv6 only with `withIPv6`.
// Empty when the system cannot tell.
std::vector<std::string> interfaceAddresses(bool withIPv6);
// This machine's own name on the network (its host name, without a domain), as
// UTF-8; empty when the system cannot tell.
std::string machineName();
// A socket's system handle (a descriptor on POSIX, a SOCKET on Win32).
using SocketHandle = std::uintptr_t;
// Before bind: a listening socket may take its port back at once when the same
// program starts again (its old connections still waiting out their close), and no
// other socket may share the port. False when the system refuses.
bool reclaimPortAtOnce(SocketHandle socket);

} // namespace platform
