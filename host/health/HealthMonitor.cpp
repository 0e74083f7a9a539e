// What trackhost tells the user about its devices' health.
#include "host/health/HealthMonitor.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"
#include "host/report/TextColumns.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

using Seconds = std::chrono::duration<double>;

// Longer names are cut in the status lines, which must never wrap (in columns).
constexpr std::size_t statusNameWidth = 16;

double seconds(HealthMonitor::Clock::duration duration) {
    return Seconds(duration).count();
}

std::string fixed(double value, int decimals, int width = 0) {
    char text[40];
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
    return text;
}

std::string plural(std::int64_t count, const char* noun, const char* nouns = nullptr) {
    return std::to_string(count) + " " +
           (count == 1         ? std::string(noun)
            : nouns != nullptr ? nouns
                               : noun + std::string("s"));
}

} // namespace

constexpr std::chrono::milliseconds HealthMonitor::refreshPeriod;

HealthMonitor::HealthMonitor(std::vector<std::string> names, std::ostream& err, bool status,
                             Columns columns, Draw draw, Erase erase)
    : err(err), status(status), columns(std::move(columns)), draw(std::move(draw)),
      erase(std::move(erase)) {
    // The first status lines come after a refresh period, so that no rate is taken
    // over a mere moment.
    refreshed = Clock::now();
    // The names are shown, never matched: kept with their control characters escaped.
    for (const std::string& name : names) {
        std::string shown = shownText(name);
        nameWidth = std::max(nameWidth, textColumns(cutToColumns(shown, statusNameWidth)));
        devices.push_back({std::move(shown), {}, DeviceHealth(), {{refreshed, 0}}, 0});
    }
    cycleAt = refreshed;
    if (!this->draw) {
        this->draw = [this](const std::string& text) { this->err << text << std::flush; };
    }
    if (!this->erase) {
        // To the line's start, up to the first status line, then clear to the end of
        // the screen, in one write.
        this->erase = [this](std::size_t lines) {
            this->draw("\r\x1b[" + std::to_string(lines) + "A\x1b[J");
        };
    }
}

void HealthMonitor::placeRepeatedNames(const std::vector<std::string>& places) {
    for (std::size_t i = 0; i < devices.size() && i < places.size(); ++i) {
        const std::string& name = devices[i].name;
        if (std::count_if(devices.begin(), devices.end(),
                          [&name](const Device& other) { return other.name == name; }) > 1) {
            devices[i].place = places[i];
        }
    }
}

std::string HealthMonitor::label(const Device& device) const {
    return hostMessagePrefix + ("device [" + device.name + "]") +
           (device.place.empty() ? "" : " at " + device.place) + ": ";
}

void HealthMonitor::beforeCycle() {
    if (drawn > 0) {
        err.flush();
        erase(drawn);
        drawn = 0;
    }
}

void HealthMonitor::cycle(std::size_t index, Clock::time_point now, bool succeeded,
                          std::int64_t records) {
    Device& device = devices[index];
    cycleAt = now;
    device.recordsBefore = device.health.records();
    switch (device.health.cycle(now, succeeded, records)) {
    case DeviceHealth::Change::silent:
        err << label(device) << "no record for " << fixed(seconds(DeviceHealth::silenceWarning), 0)
            << " seconds; recvData keeps failing" << std::endl;
        changed = true;
        break;
    case DeviceHealth::Change::receivingAgain:
        // To the millisecond, as the plug-in tells the same stretch.
        err << label(device) << "receiving again after "
            << fixed(seconds(device.health.lastSilence()), 3) << " s without a record" << std::endl;
        changed = true;
        break;
    case DeviceHealth::Change::none:
        break;
    }
}

void HealthMonitor::afterCycle(Clock::time_point now, std::ostream& records) {
    if (!status) {
        return;
    }
    records.flush();
    // The lines drawn before a device's change would contradict the message above them.
    if (changed || now - refreshed >= refreshPeriod) {
        refresh(now);
    }
    if (!lines.empty()) {
        err.flush();
        draw(lines);
        drawn = devices.size();
    }
}

void HealthMonitor::refresh(Clock::time_point now) {
    refreshed = now;
    changed = false;
    lines.clear();
    const std::size_t width = columns ? columns() : 0;
    for (Device& device : devices) {
        // The records up to the cycle that began at cycleAt, not its own: the rate is
        // taken between cycles' beginnings, whatever their output cost, and a span
        // holds as many cycles as it is long.
        device.history.push_back({cycleAt, device.recordsBefore});
        while (device.history.size() > 1 && now - device.history[1].at >= std::chrono::seconds(1)) {
            device.history.pop_front();
        }
        std::string line = statusLine(device, now);
        // One column is left free: some terminals wrap a line that fills the last one.
        if (width > 1) {
            line = cutToColumns(line, width - 1);
        }
        lines += line + "\n";
    }
}

std::string HealthMonitor::statusLine(const Device& device, Clock::time_point now) const {
    // The rate over the last second, once a second has passed.
    const Snapshot& first = device.history.front();
    const Snapshot& latest = device.history.back();
    const double span = seconds(latest.at - first.at);
    const std::string rate =
        span >= 1.0 ? fixed(static_cast<double>(latest.records - first.records) / span, 1, 7)
                    : "      -";
    std::string line = padToColumns(cutToColumns(device.name, statusNameWidth), nameWidth) + " " +
                       rate + " rec/s  ";
    Clock::time_point last;
    // Not below zero: the cycles' times are those they were due at, now is the clock's.
    line +=
        device.health.lastRecord(last)
            ? "last " + fixed(seconds(std::max(now - last, Clock::duration::zero())), 1) + " s ago"
            : "no record yet";
    return line + "  failed " + std::to_string(device.health.failedCycles()) + "  recoveries " +
           std::to_string(device.health.recoveries());
}

bool HealthMonitor::finish() {
    beforeCycle();
    status = false;
    bool allReceived = true;
    for (const Device& device : devices) {
        const DeviceHealth& health = device.health;
        if (health.cycles() == 0) {
            continue;
        }
        DeviceHealth::Clock::duration gap{};
        const bool gapSeen = health.longestGap(gap);
        const DeviceHealth::Clock::duration silence = health.finalSilence();
        err << label(device) << plural(health.cycles(), "cycle") << ", "
            << plural(health.records(), "record") << ", "
            << plural(health.failedCycles(), "failed cycle") << ", longest gap between records "
            << (gapSeen ? fixed(seconds(gap), 3) + " s" : "-") << ", "
            << (silence > silence.zero()
                    ? "silent for its last " + fixed(seconds(silence), 3) + " s, "
                    : "")
            << plural(health.recoveries(), "recovery", "recoveries") << std::endl;
        if (!health.everSucceeded()) {
            err << label(device) << "delivered no record: recvData failed in every cycle"
                << std::endl;
            allReceived = false;
        }
    }
    return allReceived;
}
