// What trackhost tells the user about its devices' health: a warning when a device
// goes silent and a note when it receives again, the live status lines while it runs
// on a terminal, and the summary at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/health/DeviceHealth.h"

class HealthMonitor {
public:
    using Clock = DeviceHealth::Clock;

    // The terminal's width in columns, asked at every refresh; 0 when unknown.
    using Columns = std::function<std::size_t()>;
    // Writes the status lines, or the escapes that take them off, to the terminal in
    // one piece; by default to `err`.
    using Draw = std::function<void(const std::string&)>;
    // Takes that many status lines off the terminal, the cursor left at the first
    // one's start; by default by ANSI escapes through `draw`.
    using Erase = std::function<void(std::size_t lines)>;

    // `names`: the devices in cycle order. With `status`, live status lines are drawn on
    // `err` with ANSI cursor moves, so `err` must be a terminal that takes them; they
    // are cut to the terminal's width, so that none wraps.
    HealthMonitor(std::vector<std::string> names, std::ostream& err, bool status,
                  Columns columns = Columns(), Draw draw = Draw(), Erase erase = Erase());

    // Where each device's section is ("my.conf:5"), in the order of the names: the
    // messages of devices that share a name tell them apart by it.
    void placeRepeatedNames(const std::vector<std::string>& places);

    // Before a cycle writes anything: takes the status lines off the screen, so that
    // records and messages appear where the lines were.
    void beforeCycle();
    // One device's receive cycle, due at `now` (its time on the cycles' schedule); a
    // device that goes silent or receives again is reported at once.
    void cycle(std::size_t device, Clock::time_point now, bool succeeded, std::int64_t records);
    // Whether `device` answered in its latest cycle (DeviceHealth::answering).
    bool answering(std::size_t device) const { return devices[device].health.answering(); }
    // After a cycle: flushes `records`, which may go to the same terminal, and puts the
    // status lines back, with their figures refreshed about four times a second, and at
    // once after a device went silent or received again.
    void afterCycle(Clock::time_point now, std::ostream& records);
    // At the end: takes the status lines off for good and, when the run had receive
    // cycles, writes one summary line per device and names each device that never
    // received. False when there was such a device.
    bool finish();

    static constexpr std::chrono::milliseconds refreshPeriod{250};

private:
    struct Snapshot {
        Clock::time_point at;
        std::int64_t records;
    };
    struct Device {
        std::string name;
        std::string place; // where its section is, when another device has its name
        DeviceHealth health;
        // The refreshes of the last second and the one before it, for the record rate.
        std::deque<Snapshot> history;
        // The records before the latest cycle began.
        std::int64_t recordsBefore = 0;
    };

    void refresh(Clock::time_point now);
    std::string statusLine(const Device& device, Clock::time_point now) const;
    std::string label(const Device& device) const;

    std::vector<Device> devices;
    std::ostream& err;
    bool status;
    Columns columns;
    Draw draw;
    Erase erase;
    bool changed = false; // a device went silent or received again since the refresh
    std::size_t nameWidth = 0;
    std::string lines;     // the status lines as last refreshed
    std::size_t drawn = 0; // status lines now on the screen
    Clock::time_point refreshed{};
    Clock::time_point cycleAt{}; // when the last cycle began
};
