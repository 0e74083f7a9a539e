// Logger: line heads, the four levels and the DEBUG gate.
#include "CLoggerH.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

namespace {

// Fills a text slot from `text`, cut so that a terminator always fits.
void fillSlot(char (&slot)[CLoggerH::textSize], const char* text) {
    std::memset(slot, 0, sizeof slot);
    if (text != nullptr) {
        std::strncpy(slot, text, sizeof slot - 1);
    }
}

void put(std::streambuf& text, const char* data, std::size_t size) {
    text.sputn(data, static_cast<std::streamsize>(size));
}

// Puts a slot up to its terminator or its end, whichever comes first, so a host
// record without terminators is never read past the slot.
void putSlot(std::streambuf& text, const char (&slot)[CLoggerH::textSize]) {
    put(text, slot, strnlen(slot, sizeof slot));
}

} // namespace

CLoggerH::CLoggerH()
    : dateOn(1), timeOn(1), threadIdOn(1),
      enabled(1), name{}, infoLabel{}, errorLabel{}, warningLabel{}, debugLabel{},
      debugThreshold(1), debugLevel(0), debugClass(0) {
    fillSlot(name, "MESSAGE");
    fillSlot(infoLabel, "INFO");
    fillSlot(errorLabel, "ERROR");
    fillSlot(warningLabel, "WARNING");
    fillSlot(debugLabel, "DEBUG");
}

void CLoggerH::setName(const char* text) {
    fillSlot(name, text);
}

void CLoggerH::printPrefix(std::streambuf& text) const {
    char format[16] = {};
    if (dateOn != 0) {
        std::strcat(format, "%b %d ");
    }
    if (timeOn != 0) {
        std::strcat(format, "%X ");
    }
    if (format[0] != '\0') {
        const std::time_t now = std::time(nullptr);
        char buffer[100] = {};
        std::tm local{};
        if (platform::localTime(now, local)) {
            std::strftime(buffer, sizeof buffer, format, &local);
        }
        put(text, buffer, std::strlen(buffer));
    }
    putSlot(text, name);
    if (threadIdOn != 0) {
        char id[16];
        const int size = std::snprintf(
            id, sizeof id, "[%lu]: ", static_cast<unsigned long>(platform::currentThreadId()));
        put(text, id, static_cast<std::size_t>(size));
    } else {
        put(text, ": ", 2);
    }
}

LogLine CLoggerH::line(const char (&label)[textSize], const char* message) const {
    if (enabled == 0) {
        return LogLine(true);
    }
    return LogLine(*this, label, message);
}

LogLine CLoggerH::info(const char* message) const {
    return line(infoLabel, message);
}

LogLine CLoggerH::error(const char* message) const {
    return line(errorLabel, message);
}

LogLine CLoggerH::warning(const char* message) const {
    return line(warningLabel, message);
}

void CLoggerH::blankLine() const {
    writeLine("\n", 1);
}

LogLine::Assembly::Assembly() : values(&text) {}

LogLine::LogLine(const CLoggerH& logger, const char (&label)[CLoggerH::textSize],
                 const char* message)
    : line(std::in_place), written(true), tailOn(true) {
    logger.printPrefix(line->text);
    putSlot(line->text, label);
    put(line->text, ": ", 2);
    put(line->text, message, std::strlen(message));
}

std::ostream& LogLine::values() {
    if (!line) {
        line.emplace();
    }
    if (!line->formatTaken) {
        line->taken = takeOutputFormat(line->values);
        line->formatTaken = true;
    }
    return line->values;
}

void LogLine::end() {
    if (!line) {
        // GCOVR_EXCL_START: a line is ended only once something is on it, and what
        // puts it there makes the text first.
        writeLine("\n", 1);
        return;
        // GCOVR_EXCL_STOP
    }
    if (line->formatTaken) {
        keepOutputFormat(line->values, line->taken);
    }
    const std::size_t size = line->text.finish();
    writeLine(line->text.data(), size);
}

std::size_t LogLine::Text::finish() {
    *pptr() = '\n';
    pbump(1);
    return static_cast<std::size_t>(pptr() - pbase());
}

// Moves the text to the heap, or to a larger heap block, with room for `c` and more.
LogLine::Text::int_type LogLine::Text::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c); // GCOVR_EXCL_LINE: an ostream never puts end-of-file
    }
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    try {
        if (pbase() == local) {
            spilled.assign(local, size);
        }
        spilled.resize(2 * size + 2); // the character, the newline and room for more
    } catch (const std::bad_alloc&) {
        return traits_type::eof();
    }
    char* const start = &spilled[0];
    setp(start, start + spilled.size() - 1);
    pbump(static_cast<int>(size));
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::unique_ptr<CLoggerH> makeOwnLogger(const CLoggerH* given, const char* defaultName,
                                        std::int32_t debugClass) {
    auto logger =
        given != nullptr ? std::make_unique<CLoggerH>(*given) : std::make_unique<CLoggerH>();
    if (given == nullptr) {
        logger->setName(defaultName);
    }
    logger->setDebugClass(debugClass);
    return logger;
}
