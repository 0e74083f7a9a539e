// STAND-IN until the files branch's staged writing is merged.
#include "host/input/StagedFile.h"

#include "host/input/TextFile.h"
#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

std::string cannotWrite(const std::string& file, int reason) {
    return "cannot write " + file + " (" + std::generic_category().message(reason) + ")";
}

// `content` into a new file `path`, on the disk when this answers true.
bool writeFlushed(const std::string& path, const std::string& content, int& error) {
    errno = 0;
    std::FILE* file = platform::openFile(path, "wb");
    if (file == nullptr) {
        error = errno != 0 ? errno : EACCES;
        return false;
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    error = written ? 0 : (errno != 0 ? errno : EIO);
    const bool flushed = written && platform::flushToDisk(file, error);
    const bool closed = std::fclose(file) == 0;
    if (written && flushed && !closed) {
        error = errno != 0 ? errno : EIO;
    }
    return written && flushed && closed;
}

// `content` as `target`, through `staged`.
bool replaceWith(const std::string& staged, const std::string& target, const std::string& content,
                 std::string& problem) {
    int error = 0;
    if (!writeFlushed(staged, content, error) || !platform::replaceFile(staged, target, error)) {
        std::remove(staged.c_str());
        problem = cannotWrite(target, error);
        return false;
    }
    return true;
}

} // namespace

StagedFile::StagedFile(std::string target) : target(std::move(target)) {
    staged = this->target + ".trackhost-new";
}

StagedFile::~StagedFile() = default;

bool StagedFile::writable(std::string& problem) const {
    int error = 0;
    if (!platform::writableFile(staged, error) || !platform::writableFile(target, error)) {
        problem = cannotWrite(target, error);
        return false;
    }
    return true;
}

bool StagedFile::commit(const std::string& content, bool backup, std::string& problem) {
    if (backup) {
        std::string old;
        const std::string copy = target + ".bak";
        if (!readWholeFile(target, 64 * 1024 * 1024, old, problem) ||
            !replaceWith(copy + ".trackhost-new", copy, old, problem)) {
            return false;
        }
    }
    return replaceWith(staged, target, content, problem);
}
