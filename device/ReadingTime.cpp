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
        return nullptr; // GCOVR_EXCL_LINE: the plug-in is linked to the library it asks about
    }
    const auto function = reinterpret_cast<bird::ReadingTimeFn>(
        platform::librarySymbol(library, bird::readingTimeName));
    // The library stays loaded as the plug-in's own dependency.
    platform::freeLibrary(library);
    return function;
}

// The sensor library's time of the reading; negative when it cannot tell.
std::int64_t libraryMilliseconds(std::int32_t deviceIndex) {
    static const bird::ReadingTimeFn libraryClock = sensorLibraryClock();
    return libraryClock != nullptr ? libraryClock(deviceIndex) : -1;
}

std::chrono::steady_clock::duration ownClock() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

} // namespace

std::int64_t readingMilliseconds(std::int32_t deviceIndex) {
    const std::int64_t milliseconds = libraryMilliseconds(deviceIndex);
    return milliseconds >= 0
               ? milliseconds
               : std::chrono::duration_cast<std::chrono::milliseconds>(ownClock()).count();
}

double readingSeconds(std::int32_t deviceIndex) {
    const std::int64_t milliseconds = libraryMilliseconds(deviceIndex);
    return milliseconds >= 0 ? static_cast<double>(milliseconds) / 1000.0
                             : std::chrono::duration<double>(ownClock()).count();
}
