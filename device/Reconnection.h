// Decides the reconnection of a sensor's stream for the "reconnect" option: a stream
// whose readings all fail, or all repeat the last good reading unchanged, for a whole
// period is lost; while it is lost, one reconnection attempt is due per period, its
// failed attempts are counted for a report at most every 10 s, and the first good
// reading that differs from the last one brings it back. Works on plain values
// (readings and milliseconds of a monotonic clock), so it starts no thread and reads
// no clock of its own.
//
// The host calls at a steady rate, but a loaded machine runs a call a little late now
// and then. A time that is due falls to the call nearest it, not the first call after
// it: a due time less than half a call's spacing away counts as reached, and the
// attempts keep to a period's spacing from the loss, however late the call that made
// one ran. So a late call moves neither the loss nor an attempt to the next call,
// and an outage costs the same number of calls on a busy machine as on an idle one.
#pragma once

#include <cstdint>

#include "bird/BirdLibrary.h"

class Reconnection {
public:
    // What the device does with the reading it just took.
    enum class Step {
        deliver,     // go on with the cycle as without the option
        failed,      // the reading failed: the cycle fails as without the option
        declareLoss, // the stream is lost from now: say so, make the first attempt
        attempt,     // still lost, and the next attempt is due
        wait,        // still lost, no attempt due: the cycle fails
        recovered,   // the first new reading after a loss: say so, then deliver
    };

    // Milliseconds between two reports of failed attempts during one loss.
    static constexpr std::int64_t reportSpacingMs = 10000;

    // `periodMs` above 0 turns the reconnection on.
    explicit Reconnection(std::int64_t periodMs = 0) : period(periodMs) {}

    bool on() const { return period > 0; }
    bool lost() const { return isLost; }

    // `ok`: the reading call succeeded; `reading`: its 36-byte block.
    Step afterReading(bool ok, const std::uint8_t* reading, std::int64_t nowMs);
    // Milliseconds from the first reading that failed or repeated, a period before
    // the loss was declared, to `nowMs`: the whole time the stream gave nothing new.
    std::int64_t lostFor(std::int64_t nowMs) const { return nowMs - lostAt; }
    // At an attempt: the attempts of this loss before it, all of which failed.
    std::int64_t failedAttempts() const { return attempts - 1; }
    // Whether failed attempts may be reported at `nowMs`: the first time in a loss,
    // then once `reportSpacingMs` have passed since the last report, which this
    // answer makes.
    bool reportDue(std::int64_t nowMs);

private:
    bool isNew(bool ok, const std::uint8_t* reading) const;
    // Notes the call at `nowMs`, for the spacing of the host's calls.
    void called(std::int64_t nowMs);
    // Whether `dueMs` counts as reached at `nowMs`: it is nearer this call than the next.
    bool reached(std::int64_t dueMs, std::int64_t nowMs) const;

    std::int64_t period;
    std::uint8_t lastGood[bird::readingSize] = {};
    bool hasGood = false;
    bool stale = false; // every reading since staleSince failed or repeated
    std::int64_t staleSince = 0;
    bool isLost = false;
    std::int64_t lostAt = 0;
    std::int64_t nextAttempt = 0; // when the next attempt is due
    std::int64_t calls = 0;       // calls noted, up to 2
    std::int64_t callsAt[2] = {}; // the two calls before this one, the latest first
    std::int64_t spacing = 0;     // the host's between two calls; 0 while unknown
    std::int64_t attempts = 0;    // made in this loss, the one under way included
    bool reported = false;        // failed attempts were reported in this loss
    std::int64_t lastReport = 0;
};
