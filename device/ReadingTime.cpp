// The reading's time, from the sensor library or the plug-in's clock.
#include "ReadingTime.h"

#include "bird/BirdLibrary.h"
#include "platform/platform.h"

#include <chrono>

namespace {

// Looked up once, in whichever library answers the plug-in's reading calls: the
// vendor's, the simulator, or the recording library ahead of either.
bird::ReadingTimeFn sensorLibraryClock() {
    const platform::LibraryHandle library =
        platform::libraryHolding(reinterpret_cast<const void*>(&_3dbirdGetMostRecentReading));
    if (library == nullptr) {
        return nullptr;
    }
    const auto function = reinterpret_cast<bird::ReadingTimeFn>(
        platform::librarySymbol(library, bird::readingTimeName));
    // The library stays loaded as the plug-in's own dependency.
    platform::freeLibrary(library);
    return function;
}

} // namespace

double readingSeconds(std::int32_t deviceIndex) {
    static const bird::ReadingTimeFn libraryClock = sensorLibraryClock();
    const std::int64_t milliseconds = libraryClock != nullptr ? libraryClock(deviceIndex) : -1;
    if (milliseconds >= 0) {
        return static_cast<double>(milliseconds) / 1000.0;
    }
    using Seconds = std::chrono::duration<double>;
    return Seconds(std::chrono::steady_clock::now().time_since_epoch()).count();
}
