// The levelled logger whose 516-byte record is shared with the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "LineSink.h"

class LogLine;

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
    bool isDebugOn() const {
        return debugLevel != 0 && (debugLevel == debugClass || debugLevel >= debugThreshold);
    }

    // One message: `logger.error("C3DBird: ") << reason << label << number << '.';`
    // writes the line head, the label and the message, then the values streamed
    // into the line, and ends the line when the expression is over. See LogLine.
    LogLine info(const char* message) const;
    LogLine error(const char* message) const;
    LogLine warning(const char* message) const;
    LogLine debug(const char* message) const;
    // A line end alone, without head, whatever the switches (the printouts' empty lines).
    void blankLine() const;

private:
    friend class LogLine;
    // The line head: optional date and time, the name, the optional thread ID.
    void printPrefix(std::streambuf& text) const;
    LogLine line(const char (&label)[textSize], const char* message) const;
};

// One line of a logger, handed out by its level calls. How it behaves is what hosts
// have always seen:
// - The head and message appear only when the logger is enabled (and, for DEBUG,
//   when its gate is open), but the values streamed into an INFO, ERROR or WARNING
//   line are written even when the logger is off: such a line then shows its values
//   alone. Values streamed into a DEBUG line are written only while isDebugOn().
// - The line ends (newline and flush) when the object goes, if anything was written.
// - Values are written with standard output's current format, which the transform
//   printout leaves at fixed notation with precision 3 on purpose.
// The line is assembled in memory and leaves in one piece through the line sink
// when it ends, so lines of several threads never mix. Nothing here throws: a
// line that outgrows its memory and finds no more loses its end.
class LogLine {
public:
    LogLine(const LogLine&) = delete;
    LogLine& operator=(const LogLine&) = delete;
    ~LogLine() {
        if (written) {
            end();
        }
    }

    template <typename T> LogLine& operator<<(const T& value) {
        if (tailOn) {
            values() << value;
            written = true;
        }
        return *this;
    }

private:
    friend struct CLoggerH;

    // The text of the line: in place up to `localSize` characters, on the heap
    // beyond. One character of room is always kept for the newline.
    class Text final : public std::streambuf {
    public:
        static constexpr std::size_t localSize = 256;
        Text() { setp(local, local + localSize - 1); }
        // Ends the text with a newline and answers its size.
        std::size_t finish();
        const char* data() const { return pbase(); }

    protected:
        int_type overflow(int_type c) override;

    private:
        char local[localSize];
        std::string spilled;
    };
    struct Assembly {
        // Declared here and defined beside the logger, so that the type is known to
        // be constructible inside LogLine (where its member initializers are not
        // yet usable to every compiler).
        Assembly();

        Text text;
        std::ostream values;
        bool formatTaken = false;
        NumberFormat taken{}; // standard output's format when the first value came
    };

    explicit LogLine(bool tailOn) : written(false), tailOn(tailOn) {}
    // A line with its head, label and message: `logger` is enabled.
    LogLine(const CLoggerH& logger, const char (&label)[CLoggerH::textSize], const char* message);
    std::ostream& values();
    void end();

    std::optional<Assembly> line; // made when the line gets its first text
    bool written;                 // something is on the line, so it must be ended
    bool tailOn;                  // streamed values are written
};

// The gate is looked at here, so that a DEBUG line costs next to nothing while it is closed.
inline LogLine CLoggerH::debug(const char* message) const {
    return isDebugOn() ? line(debugLabel, message) : LogLine(false);
}

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
