// POSIX implementation of the platform layer (the native Linux build).
#include "platform.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace platform {

namespace {

thread_local std::string lastLibraryError;

std::string dlopenError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

} // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void showUtf8OnConsole(std::ostream&, std::FILE*) {}

std::FILE* openFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool isFolder(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isDevice(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool flushToDisk(std::FILE* file, int& error) {
    errno = 0;
    if (std::fflush(file) != 0) {
        error = errno != 0 ? errno : EIO;
        return false;
    }
    // A pipe or a device cannot be synchronised, and needs not be.
    if (fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
        // GCOVR_EXCL_START: fsync of a file fails only on a disk's write error, or on a
        // network file system that fills up or goes away.
        error = errno;
        return false;
        // GCOVR_EXCL_STOP
    }
    return true;
}

namespace {

// The folder of `path`, which holds its name: synchronised so that a rename in it
// outlives a crash.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

} // namespace

bool replaceFile(const std::string& from, const std::string& to, int& error) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = errno;
        return false;
    }
    syncFolderOf(to);
    return true;
}

bool replaceFileWithBackup(const std::string& from, const std::string& to,
                           const std::string& backup, int& error) {
    // A second name for the old file, so that `to` names a file throughout; a file
    // system without links has the old file moved aside instead.
    if (unlink(backup.c_str()) != 0 && errno != ENOENT) {
        error = errno;
        return false;
    }
    if (link(to.c_str(), backup.c_str()) != 0 && errno != ENOENT &&
        std::rename(to.c_str(), backup.c_str()) != 0) {
        error = errno;
        return false;
    }
    return replaceFile(from, to, error);
}

std::string linkedFile(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
    char* resolved = realpath(path.c_str(), nullptr);
    const std::string file = resolved != nullptr ? resolved : path;
    std::free(resolved);
    return file;
}

bool removeFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool reservedDeviceName(const std::string&) {
    return false;
}

LibraryHandle loadLibrary(const char* fileName) {
    std::string name = fileName;
    // A bare file name is looked for beside the executable first, as the Win32
    // loader does, then along the system's search path.
    std::string besideError;
    if (name.find('/') == std::string::npos) {
        // Without an extension it gets the platform's naming, as the Win32 loader
        // appends ".dll", so one configuration file serves both builds.
        if (name.find('.') == std::string::npos && !name.empty()) {
            name = libraryFileName(name);
        }
        static const std::string folder = executableFolder();
        if (!folder.empty()) {
            const std::string beside = folder + name;
            if (void* library = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                return library;
            }
            // A library that is there but cannot be loaded says why better than
            // the search after it.
            const std::string error = dlopenError();
            if (access(beside.c_str(), F_OK) == 0) {
                besideError = error;
            }
        }
    }
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const std::string error = dlopenError();
        lastLibraryError = besideError.empty() ? error : besideError;
    }
    return library;
}

namespace {

bool isFileAt(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The folders of LD_LIBRARY_PATH; an empty entry is the current folder.
std::vector<std::string> environmentLibraryFolders() {
    std::vector<std::string> folders;
    const char* const value = std::getenv("LD_LIBRARY_PATH");
    std::string entries = value != nullptr ? value : "";
    for (std::size_t start = 0; value != nullptr && start <= entries.size();) {
        const std::size_t end = std::min(entries.find_first_of(":;", start), entries.size());
        const std::string folder = entries.substr(start, end - start);
        folders.push_back(folder.empty() ? "." : folder);
        start = end + 1;
    }
    return folders;
}

// The folders the loader searches for the program, as it reports them: its run
// path and LD_LIBRARY_PATH (both searched before this list is), then the system's
// (/lib, /usr/lib and their multiarch folders). A library that only the loader's
// cache knows of, in a folder of /etc/ld.so.conf.d, is not among them.
std::vector<std::string> programLibraryFolders() {
    std::vector<std::string> folders;
    void* const program = dlopen(nullptr, RTLD_NOW);
    Dl_serinfo size{};
    if (program != nullptr && dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
        std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
        auto* const info = reinterpret_cast<Dl_serinfo*>(storage.data());
        *info = size;
        if (dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
            for (unsigned i = 0; i < info->dls_cnt; ++i) {
                folders.emplace_back(info->dls_serpath[i].dls_name);
            }
        }
    }
    if (program != nullptr) {
        dlclose(program);
    }
    return folders;
}

} // namespace

std::string findLibrary(const std::string& fileName, const std::string& loaderFolder) {
    if (fileName.find('/') != std::string::npos || fileName.empty()) {
        return fileName;
    }
    const std::string name =
        fileName.find('.') == std::string::npos ? libraryFileName(fileName) : fileName;
    const std::string folder = executableFolder();
    if (!folder.empty() && isFileAt(folder + name)) {
        return folder + name;
    }
    if (void* const loaded = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        const std::string path = libraryPath(loaded);
        dlclose(loaded);
        if (!path.empty()) {
            return path;
        }
    }
    std::vector<std::string> folders = environmentLibraryFolders();
    if (!loaderFolder.empty()) {
        folders.push_back(loaderFolder);
    }
    for (const std::string& searched : programLibraryFolders()) {
        folders.push_back(searched);
    }
    for (const std::string& candidate : folders) {
        const std::string path = candidate + (candidate.back() == '/' ? "" : "/") + name;
        if (isFileAt(path)) {
            return path;
        }
    }
    return fileName;
}

bool keepCurrentFolderOutOfLibrarySearch() {
    return true;
}

LibraryHandle loadLibraryUtf8(const std::string& fileName) {
    return loadLibrary(fileName.c_str());
}

std::string libraryError() {
    return lastLibraryError;
}

void* librarySymbol(LibraryHandle library, const char* name) {
    return dlsym(library, name);
}

void freeLibrary(LibraryHandle library) {
    dlclose(library);
}

LibraryHandle loadedLibrary(const char* fileName) {
    return dlopen(fileName, RTLD_NOW | RTLD_NOLOAD);
}

LibraryHandle libraryHolding(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        return nullptr;
    }
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

std::string libraryFileName(const std::string& baseName) {
    return "lib" + baseName + ".so";
}

std::string executablePath() {
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length <= 0 ? std::string() : std::string(path, static_cast<std::size_t>(length));
}

std::string executableFolder() {
    const std::string path = executablePath();
    return path.substr(0, path.rfind('/') + 1);
}

std::string dependencyFolder(const std::string& libraryPath) {
    const std::size_t slash = libraryPath.rfind('/');
    if (slash == std::string::npos) {
        // loadLibrary takes a bare name from beside the program.
        return executableFolder();
    }
    return libraryPath.substr(0, slash + 1);
}

std::string currentFolder() {
    char path[4096] = {};
    if (getcwd(path, sizeof path) == nullptr) {
        return {};
    }
    const std::string folder = path;
    return folder.back() == '/' ? folder : folder + '/';
}

std::string libraryPath(LibraryHandle library) {
    link_map* map = nullptr;
    if (library == nullptr || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr ||
        map->l_name == nullptr) {
        return {};
    }
    return map->l_name;
}

namespace {

FileIdentity identityOf(const struct stat& status) {
    FileIdentity identity;
    identity.volume = static_cast<std::uint64_t>(status.st_dev);
    identity.index = static_cast<std::uint64_t>(status.st_ino);
    identity.regular = S_ISREG(status.st_mode);
    return identity;
}

} // namespace

bool fileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return false;
    }
    identity = identityOf(status);
    return true;
}

bool streamIdentity(std::FILE* stream, FileIdentity& identity) {
    struct stat status;
    if (stream == nullptr || fstat(fileno(stream), &status) != 0) {
        return false;
    }
    identity = identityOf(status);
    return true;
}

bool writableFile(const std::string& path, int& error) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0) {
        error = S_ISDIR(status.st_mode) ? EISDIR : access(path.c_str(), W_OK) == 0 ? 0 : errno;
        return error == 0;
    }
    if (errno != ENOENT) {
        error = errno;
        return false;
    }
    // A new file: its folder must exist and take new files.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    error = access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
    return error == 0;
}

MutexHandle createMutex() {
    auto* mutex = new (std::nothrow) pthread_mutex_t;
    if (mutex == nullptr) {
        return nullptr;
    }
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    // Robust, so that a thread ending while it holds the mutex leaves it abandoned
    // rather than locked for ever; error-checking, so that releasing a mutex the
    // caller does not own fails as it does on Win32.
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ERRORCHECK);
    const int result = pthread_mutex_init(mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (result != 0) {
        // GCOVR_EXCL_START: fails only on a kernel without robust mutexes, which Linux
        // has had since 2.6.17.
        delete mutex;
        return nullptr;
        // GCOVR_EXCL_STOP
    }
    return mutex;
}

void destroyMutex(MutexHandle mutex) {
    auto* posixMutex = static_cast<pthread_mutex_t*>(mutex);
    if (posixMutex != nullptr) {
        pthread_mutex_destroy(posixMutex);
        delete posixMutex;
    }
}

bool waitMutex(MutexHandle mutex, ErrorCode& error) {
    auto* posixMutex = static_cast<pthread_mutex_t*>(mutex);
    const int result = pthread_mutex_lock(posixMutex);
    if (result == 0) {
        return true;
    }
    if (result == EOWNERDEAD) {
        // The caller owns it now; make it consistent so it stays usable, as an
        // abandoned Win32 mutex does.
        pthread_mutex_consistent(posixMutex);
    }
    error = static_cast<ErrorCode>(result);
    return false;
}

bool releaseMutex(MutexHandle mutex, ErrorCode& error) {
    const int result = pthread_mutex_unlock(static_cast<pthread_mutex_t*>(mutex));
    if (result == 0) {
        return true;
    }
    error = static_cast<ErrorCode>(result);
    return false;
}

std::string errorText(ErrorCode error) {
    char buffer[256] = {};
    // The GNU strerror_r may answer with a static text instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(error), buffer, sizeof buffer);
    if (text == nullptr || *text == '\0') {
        return std::to_string(error); // GCOVR_EXCL_LINE: glibc has a text for every number
    }
    return text;
}

std::uint32_t currentThreadId() {
    thread_local const auto id = static_cast<std::uint32_t>(syscall(SYS_gettid));
    return id;
}

void readWallClock(WallClock& clock) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // Local time zone and daylight saving change at most once a second; look
    // them up only when the second changes.
    thread_local time_t zoneSecond = -1;
    thread_local std::int16_t zoneWest = 0;
    thread_local std::int16_t zoneDst = 0;
    if (now.tv_sec != zoneSecond) {
        tm local{};
        localtime_r(&now.tv_sec, &local);
        zoneSecond = now.tv_sec;
        zoneDst = static_cast<std::int16_t>(local.tm_isdst > 0 ? 1 : 0);
        // Minutes west of UTC for standard time, as the runtime's clock reports it.
        zoneWest = static_cast<std::int16_t>(-(local.tm_gmtoff / 60) + (zoneDst != 0 ? 60 : 0));
    }
    clock.seconds = static_cast<std::int32_t>(now.tv_sec);
    clock.milliseconds = static_cast<std::uint16_t>(now.tv_nsec / 1000000);
    clock.timezone = zoneWest;
    clock.dstFlag = zoneDst;
    clock.padding = 0;
}

bool localTime(std::time_t time, std::tm& local) {
    return localtime_r(&time, &local) != nullptr;
}

bool utcTime(std::time_t time, std::tm& utc) {
    return gmtime_r(&time, &utc) != nullptr;
}

bool posixSystem() {
    return true;
}

const char* folderSeparators() {
    return "/";
}

bool sameFileName(const std::string& a, const std::string& b) {
    return a == b;
}

int runCommand(const std::string& commandLine) {
    const int status = std::system(commandLine.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::FILE* separateStdout() {
    std::fflush(stdout);
    // GCOVR_EXCL_START: each call below fails only when the process is out of
    // descriptors or memory, or runs with standard error closed; the suite runs in none
    // of these states.
    const int saved = fcntl(1, F_DUPFD_CLOEXEC, 3);
    if (saved < 0) {
        return nullptr;
    }
    std::FILE* original = fdopen(saved, "w");
    if (original == nullptr) {
        close(saved);
        return nullptr;
    }
    if (dup2(2, 1) < 0) {
        std::fclose(original);
        return nullptr;
    }
    // GCOVR_EXCL_STOP
    return original;
}

bool discardStdout() {
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        return false; // GCOVR_EXCL_LINE: only a system without /dev/null, or out of descriptors
    }
    const bool moved = dup2(null, 1) >= 0;
    close(null);
    return moved;
}

void catchHangUp(void (*handler)(int)) {
    signal(SIGHUP, handler);
}

void ignoreBrokenPipe() {
    signal(SIGPIPE, SIG_IGN);
}

bool writeHitClosedPipe(int error) {
    return error == EPIPE;
}

bool isTerminal(std::FILE* stream) {
    return stream != nullptr && isatty(fileno(stream)) == 1;
}

bool enableTerminalEscapes(std::FILE* stream) {
    return isTerminal(stream);
}

void eraseTerminalLines(std::FILE* stream, std::size_t lines) {
    writeTerminal(stream, "\r\x1b[" + std::to_string(lines) + "A\x1b[J");
}

void writeTerminal(std::FILE* stream, const std::string& text) {
    std::fflush(stream);
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fileno(stream), text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue; // GCOVR_EXCL_LINE: a signal that arrives during the write
        }
        if (count <= 0) {
            return; // a terminal that is gone takes nothing more
        }
        written += static_cast<std::size_t>(count);
    }
}

std::size_t terminalColumns(std::FILE* stream) {
    winsize size{};
    if (stream == nullptr || ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

std::uint32_t hostToNet(std::uint32_t value) {
    return htonl(value);
}

std::uint32_t netToHost(std::uint32_t value) {
    return ntohl(value);
}

} // namespace platform
