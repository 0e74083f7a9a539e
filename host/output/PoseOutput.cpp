// trackhost's record output with every write checked.
#include "host/output/PoseOutput.h"

#include "platform/platform.h"

#include <cerrno>
#include <system_error>

PoseOutput::PoseOutput(std::ostream& stream)
    : external(&stream), outputName("the record stream"), fileStream(&buffer) {}

PoseOutput::PoseOutput(const std::string& path)
    : path(path), staged(std::make_unique<StagedFile>(path)), outputName(path),
      fileStream(&buffer) {}

PoseOutput::PoseOutput(std::FILE* original) : outputName("standard output"), fileStream(&buffer) {
    buffer.file = original;
}

// A staged file's stream is the StagedFile's to close.
PoseOutput::~PoseOutput() {
    if (buffer.file != nullptr && staged == nullptr) {
        std::fclose(buffer.file);
    }
}

bool PoseOutput::identity(platform::FileIdentity& identity) const {
    if (!path.empty()) {
        return platform::fileIdentity(path, identity);
    }
    return external == nullptr && platform::streamIdentity(buffer.file, identity);
}

bool PoseOutput::open() {
    if (path.empty() || buffer.file != nullptr) {
        return !failed();
    }
    if (!staged->open("w", stagedProblem)) {
        buffer.error = EACCES;
        return false;
    }
    buffer.file = staged->stream();
    return true;
}

bool PoseOutput::commit() {
    if (staged == nullptr || failed()) {
        return !failed();
    }
    if (buffer.pubsync() != 0) {
        return false;
    }
    if (!staged->commit(stagedProblem)) {
        buffer.error = EIO;
        return false;
    }
    return true;
}

std::ostream& PoseOutput::stream() {
    return external != nullptr ? *external : fileStream;
}

bool PoseOutput::failed() const {
    return external != nullptr ? !*external : buffer.error != 0;
}

bool PoseOutput::closedPipe() const {
    return buffer.closedPipe;
}

bool PoseOutput::close() {
    if (external != nullptr) {
        external->flush();
        return !failed();
    }
    if (buffer.file == nullptr) {
        return !failed();
    }
    if (staged != nullptr) {
        if (buffer.pubsync() == 0 && !staged->close(stagedProblem)) {
            buffer.error = EIO;
        }
    } else if (buffer.pubsync() == 0) {
        errno = 0;
        if (std::fclose(buffer.file) != 0) {
            buffer.fail(EIO);
        }
    } else {
        std::fclose(buffer.file);
    }
    buffer.file = nullptr;
    return !failed();
}

std::string PoseOutput::problem() const {
    if (!stagedProblem.empty()) {
        return stagedProblem;
    }
    std::string text = "cannot write " + outputName;
    if (buffer.error != 0) {
        text += " (" + std::generic_category().message(buffer.error) + ")";
    }
    return text;
}

PoseOutput::FileBuffer::int_type PoseOutput::FileBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char character = traits_type::to_char_type(c);
    return put(&character, 1) ? c : traits_type::eof();
}

std::streamsize PoseOutput::FileBuffer::xsputn(const char* text, std::streamsize count) {
    return put(text, static_cast<std::size_t>(count)) ? count : 0;
}

int PoseOutput::FileBuffer::sync() {
    if (error == 0 && file != nullptr) {
        errno = 0;
        if (std::fflush(file) != 0) {
            fail(EIO);
        }
    }
    return error == 0 ? 0 : -1;
}

bool PoseOutput::FileBuffer::put(const char* text, std::size_t count) {
    if (error != 0 || file == nullptr) {
        return false;
    }
    errno = 0;
    if (std::fwrite(text, 1, count, file) != count) {
        fail(EIO);
        return false;
    }
    return true;
}

void PoseOutput::FileBuffer::fail(int fallback) {
    const int reason = errno != 0 ? errno : fallback;
    closedPipe = platform::writeHitClosedPipe(reason);
    error = reason;
}
