// The thin operating-system layer. Everything above it (support/, tracker/,
// device/) reaches the system only through these declarations; the build picks
// platform_win32.cpp or platform_posix.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

namespace platform {

// ---- dynamic libraries -----------------------------------------------------
using LibraryHandle = void*;

// Loads a library by file name; null when it cannot be loaded.
LibraryHandle loadLibrary(const char* fileName);
// Address of an exported symbol; null when the library does not export it.
void* librarySymbol(LibraryHandle library, const char* name);
void freeLibrary(LibraryHandle library);
// A library this process has already loaded (as a program's dependency or by
// loadLibrary), looked up by file name without loading anything; null when it is
// not loaded. The handle is released with freeLibrary.
LibraryHandle loadedLibrary(const char* fileName);
// File name of a dynamic library as this platform spells it: "x" -> "x.dll" or "libx.so".
std::string libraryFileName(const std::string& baseName);

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

// ---- terminals -----------------------------------------------------------------
// Whether a stream writes to a terminal (a character device on Windows).
bool isTerminal(std::FILE* stream);
// Lets a terminal stream take ANSI cursor and erase sequences, which a Windows
// console must have switched on; false when the stream is no terminal that can.
bool enableTerminalEscapes(std::FILE* stream);

// ---- byte order ----------------------------------------------------------------
std::uint32_t hostToNet(std::uint32_t value);
std::uint32_t netToHost(std::uint32_t value);

} // namespace platform
