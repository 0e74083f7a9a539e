// Reading a whole input file.
#include "host/input/TextFile.h"

#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace {

bool unreadable(std::string& problem, int reason) {
    problem = "cannot read the file (" + std::generic_category().message(reason) + ")";
    return false;
}

} // namespace

bool readWholeFile(const std::string& fileName, std::size_t limit, std::string& text,
                   std::string& problem) {
    // A folder opens on some systems and then fails to read; say so on all.
    if (platform::isFolder(fileName)) {
        return unreadable(problem, EISDIR);
    }
    errno = 0;
    std::FILE* file = platform::openFile(fileName, "rb");
    if (file == nullptr) {
        return unreadable(problem, errno != 0 ? errno : ENOENT);
    }
    // Read in pieces, so that memory follows the file's size, up to one byte past
    // the limit to tell a file that is too large.
    text.clear();
    char piece[64 * 1024];
    std::size_t read = 0;
    errno = 0;
    while (text.size() <= limit && (read = std::fread(piece, 1, sizeof piece, file)) > 0) {
        text.append(piece, read);
    }
    const int readError = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    if (readError != 0) {
        return unreadable(problem, readError);
    }
    if (text.size() > limit) {
        problem = "the file is larger than " + std::to_string(limit / 1024) + " KiB";
        return false;
    }
    return true;
}
