// The loggers' line sink and the number format of standard output.
#include "LineSink.h"

#include "platform/platform.h"

#include <cstdio>
#include <iostream>
#include <mutex>
#include <system_error>

namespace {

// Guards the sink, its calls and standard output's format. Constant-initialised,
// so loading the library runs no code for it.
std::mutex sinkMutex;
LineSink current{nullptr, nullptr};

// Holds the sink's lock when the system lets it be taken; a lock that cannot be
// had leaves a line unguarded rather than unwritten.
class SinkLock {
public:
    SinkLock() noexcept {
        try {
            sinkMutex.lock();
            held = true;
        } catch (const std::system_error&) { // GCOVR_EXCL_LINE: std::mutex's lock fails
            // only on a mutex that memory corruption has overwritten.
        }
    }
    ~SinkLock() {
        if (held) {
            sinkMutex.unlock();
        }
    }
    SinkLock(const SinkLock&) = delete;
    SinkLock& operator=(const SinkLock&) = delete;

private:
    bool held = false;
};

} // namespace

LineSink setLineSink(LineSink sink) {
    const SinkLock lock;
    const LineSink replaced = current;
    current = sink;
    return replaced;
}

void dropLine(void*, const char*, std::size_t) {}

void writeLine(const char* text, std::size_t size) noexcept {
    const SinkLock lock;
    try {
        if (current.write != nullptr) {
            current.write(current.context, text, size);
        } else {
            // Names beyond ASCII show on a console as written; a file or a pipe
            // gets the bytes.
            static const bool shown = (platform::showUtf8OnConsole(std::cout, stdout), true);
            static_cast<void>(shown);
            std::cout.write(text, static_cast<std::streamsize>(size));
            std::cout.flush();
        }
    } catch (...) {
        // A host may have asked standard output for exceptions; the line is lost then.
    }
}

NumberFormat takeOutputFormat(std::ios& line) noexcept {
    const SinkLock lock;
    const NumberFormat format{std::cout.flags(), std::cout.precision(), std::cout.width(),
                              std::cout.fill()};
    if (line.getloc() != std::cout.getloc()) {
        line.imbue(std::cout.getloc());
    }
    line.flags(format.flags);
    line.precision(format.precision);
    line.width(format.width);
    line.fill(format.fill);
    return format;
}

void keepOutputFormat(const std::ios& line, const NumberFormat& taken) noexcept {
    const bool flags = line.flags() != taken.flags;
    const bool precision = line.precision() != taken.precision;
    const bool width = line.width() != taken.width;
    const bool fill = line.fill() != taken.fill;
    if (!flags && !precision && !width && !fill) {
        return;
    }
    // Only what the line changed, so that a change made meanwhile by another line stays.
    const SinkLock lock;
    if (flags) {
        std::cout.flags(line.flags());
    }
    if (precision) {
        std::cout.precision(line.precision());
    }
    if (width) {
        std::cout.width(line.width());
    }
    if (fill) {
        std::cout.fill(line.fill());
    }
}
