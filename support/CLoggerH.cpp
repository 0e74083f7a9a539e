// Logger: line heads, the four levels and the DEBUG gate.
#include "CLoggerH.h"

#include "platform/platform.h"

#include <cstring>
#include <ctime>
#include <iostream>

namespace {

// Fills a text slot from `text`, cut so that a terminator always fits.
void fillSlot(char (&slot)[CLoggerH::textSize], const char* text) {
    std::memset(slot, 0, sizeof slot);
    if (text != nullptr) {
        std::strncpy(slot, text, sizeof slot - 1);
    }
}

// Writes a slot up to its terminator or its end, whichever comes first, so a
// host record without terminators is never read past the slot.
void writeSlot(const char (&slot)[CLoggerH::textSize]) {
    std::cout.write(slot, static_cast<std::streamsize>(strnlen(slot, sizeof slot)));
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

void CLoggerH::printPrefix() const {
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
        std::cout << buffer;
    }
    writeSlot(name);
    if (threadIdOn != 0) {
        std::cout << '[' << platform::currentThreadId() << "]: ";
    } else {
        std::cout << ": ";
    }
}

LogLine CLoggerH::line(const char (&label)[textSize], const char* message) const {
    if (enabled == 0) {
        return LogLine(false, true);
    }
    printPrefix();
    writeSlot(label);
    std::cout << ": " << message;
    return LogLine(true, true);
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
    LogLine::end();
}

std::ostream& LogLine::stream() {
    return std::cout;
}

void LogLine::end() {
    std::cout << std::endl;
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
