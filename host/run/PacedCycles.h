// The receive cycle's clock: cycles at a steady rate, each due at its own time from
// the first, so that a late cycle does not push the others back; a stop request
// (Ctrl-C) ends the wait for the next one at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "host/run/RunSettings.h"

// Ends a running host after its current cycle, as Ctrl-C does; safe to call from a
// signal handler or another thread. Stays set for the rest of the process.
void requestHostStop();
bool hostStopRequested();

// The number of cycles `pace` allows; -1 for no limit.
std::int64_t cycleLimit(const PaceSettings& pace);

// When cycle `cycle` (from 0) is due after the first at `rate` cycles per second, to
// the clock's tick: cycles a whole number of seconds apart are exactly that far apart.
std::chrono::steady_clock::duration cycleOffset(std::int64_t cycle, double rate);

// Calls `cycle` for cycle 0, 1, ... at `rate` cycles per second until `limit` cycles
// have run (-1: no limit), a stop is requested, or `cycle` answers false. `cycle` is
// given its number and the seconds since cycle 0 began.
void runPaced(double rate, std::int64_t limit,
              const std::function<bool(std::int64_t cycle, double elapsed)>& cycle);
