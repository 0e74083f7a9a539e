// The levelled logger whose 516-byte record is shared with the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Plain record, copied byte for byte between host and plug-in objects.
struct CLoggerH {
    static constexpr std::size_t textSize = 100;

    std::uint8_t dateOn;
    std::uint8_t timeOn;
    std::uint8_t threadIdOn;
    std::uint8_t enabled;
    char name[textSize];
    char infoLabel[textSize];
    char errorLabel[textSize];
    char warningLabel[textSize];
    char debugLabel[textSize];
    std::int32_t debugThreshold;
    std::int32_t debugLevel;
    std::int32_t debugClass;

    // Defaults: all switches on, name "MESSAGE", threshold 1, level 0, class 0.
    CLoggerH();

    // Copies the name, cut to 99 characters, and pads the slot with NULs.
    void setName(const char* text);
    void setDebugClass(std::int32_t value) { debugClass = value; }
    bool isDebugOn() const;

    // With endLine false the line stays open: the caller writes the rest to
    // standard output and ends it.
    void info(const char* message, bool endLine = true) const;
    void error(const char* message, bool endLine = true) const;
    void warning(const char* message, bool endLine = true) const;
    void debug(const char* message, bool endLine = true) const;

    // The line head: optional date and time, the name, the optional thread ID.
    void printPrefix() const;

private:
    void write(const char (&label)[textSize], const char* message, bool endLine) const;
};

// An object's own logger: a byte-for-byte copy of `given`, or a default logger
// named `defaultName` when none is given; either way with the object's debug class.
std::unique_ptr<CLoggerH> makeOwnLogger(const CLoggerH* given, const char* defaultName,
                                        std::int32_t debugClass);

static_assert(sizeof(CLoggerH) == 516, "CLoggerH is a 516-byte host record");
static_assert(offsetof(CLoggerH, name) == 4 && offsetof(CLoggerH, infoLabel) == 104 &&
                  offsetof(CLoggerH, errorLabel) == 204 &&
                  offsetof(CLoggerH, warningLabel) == 304 &&
                  offsetof(CLoggerH, debugLabel) == 404 &&
                  offsetof(CLoggerH, debugThreshold) == 504 &&
                  offsetof(CLoggerH, debugLevel) == 508 && offsetof(CLoggerH, debugClass) == 512,
              "CLoggerH field offsets");
