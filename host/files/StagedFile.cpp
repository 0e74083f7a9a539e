// Files written under a new name beside their target, renamed over it when wanted.
#include "host/files/StagedFile.h"

#include "platform/platform.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

namespace {

// Tried names before giving up: each is taken only if no file has it yet, so a name
// another run holds is passed over.
constexpr unsigned namesTried = 100;

} // namespace

StagedFile::StagedFile(std::string target) : targetName(std::move(target)) {}

StagedFile::~StagedFile() {
    if (file != nullptr) {
        std::fclose(file);
    }
    if (staged && !done) {
        platform::removeFile(current);
    }
}

std::string StagedFile::firstName(const std::string& destination) {
    // The thread's number tells this process's names from another's at once.
    return destination + ".~" + std::to_string(platform::currentThreadId()) + ".new";
}

bool StagedFile::canOpen(const std::string& target, int& error) {
    error = 0;
    return platform::isDevice(target) ||
           platform::writableFile(firstName(platform::linkedFile(target)), error);
}

std::string StagedFile::problemText(int error) const {
    return "cannot write " + targetName + " (" + std::generic_category().message(error) + ")";
}

bool StagedFile::open(const char* mode, std::string& problem) {
    if (platform::isDevice(targetName)) {
        errno = 0;
        file = platform::openFile(targetName, mode);
        current = targetName;
        if (file == nullptr) {
            problem = problemText(errno != 0 ? errno : EACCES);
        }
        return file != nullptr;
    }
    destination = platform::linkedFile(targetName);
    const std::string exclusive = std::string(mode) + "x";
    const std::string first = firstName(destination);
    const std::string stem = first.substr(0, first.size() - 4);
    int error = EEXIST;
    for (unsigned attempt = 0; attempt < namesTried && error == EEXIST; ++attempt) {
        const std::string name =
            attempt == 0 ? first : stem + "-" + std::to_string(attempt) + ".new";
        errno = 0;
        file = platform::openFile(name, exclusive.c_str());
        if (file != nullptr) {
            current = name;
            staged = true;
            return true;
        }
        error = errno != 0 ? errno : EACCES;
    }
    problem = problemText(error);
    return false;
}

bool StagedFile::commit(std::string& problem, bool keepBackup) {
    int error = 0;
    if (file != nullptr && !platform::flushToDisk(file, error)) {
        problem = problemText(error);
        return false;
    }
    if (!staged || done) {
        done = true;
        return true;
    }
    if (keepBackup && !close(problem)) {
        return false;
    }
    if (!(keepBackup
              ? platform::replaceFileWithBackup(current, destination, destination + ".bak", error)
              : platform::replaceFile(current, destination, error))) {
        problem = problemText(error);
        return false;
    }
    current = destination;
    done = true;
    return true;
}

bool StagedFile::close(std::string& problem) {
    if (file == nullptr) {
        return true;
    }
    int error = 0;
    const bool flushed = platform::flushToDisk(file, error);
    errno = 0;
    if (std::fclose(file) != 0 && flushed) {
        error = errno != 0 ? errno : EIO;
    }
    file = nullptr;
    if (error != 0) {
        problem = problemText(error);
    }
    return error == 0;
}

bool writeWholeFile(const std::string& target, const std::string& text, bool keepBackup,
                    std::string& problem) {
    StagedFile file(target);
    if (!file.open("wb", problem)) {
        return false;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file.stream()) != text.size()) {
        problem = "cannot write " + target + " (" +
                  std::generic_category().message(errno != 0 ? errno : EIO) + ")";
        return false;
    }
    return file.commit(problem, keepBackup) && file.close(problem);
}
