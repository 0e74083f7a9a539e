// The recording sensor library: forwards the seven sensor calls to the real sensor
// library and writes every reading the plug-in takes, with its time, to a text file
// in the recording format (RecordingFormat.h). The header is written before the first
// reading, when the wake-ups have named the ports. A failed read's angles are written
// as zero: the plug-in does not use its block.
#include "host/recording/RecordingLibrary.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <mutex>
#include <string>

#include "bird/BirdLibrary.h"
#include "host/recording/RecordingFormat.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Recorder {
    std::string libraryPath;
    // The real library's calls, typed as this library declares its own.
    decltype(_3dbirdWakeUp)* wakeUp = nullptr;
    decltype(_3dbirdGetDeviceConfig)* getDeviceConfig = nullptr;
    decltype(_3dbirdSetDeviceConfig)* setDeviceConfig = nullptr;
    decltype(_3dbirdResetOrientation)* resetOrientation = nullptr;
    decltype(_3dbirdStartStream)* startStream = nullptr;
    decltype(_3dbirdGetMostRecentReading)* getMostRecentReading = nullptr;
    decltype(_3dbirdShutDown)* shutDown = nullptr;
    // The real library's clock, when it has one (bird::readingTimeName): the
    // simulator's, which trackhost paces on its cycles' schedule.
    bird::ReadingTimeFn readingTime = nullptr;

    std::string fileName;
    std::FILE* file = nullptr;
    bool failed = false;
    std::string error;
    bool headerWritten = false;
    Clock::time_point start;
    std::time_t startWall = 0;
    int startMilliseconds = 0;
    // The port each device index was last woken on: its reading calls are recorded from
    // then on, those made while it is shut down (a reconnection that has not come
    // through yet) as failed reads, so that a replay fails them too.
    std::uint16_t ports[bird::maxSensors] = {};
    unsigned portsWoken = 0;                  // bit n: a sensor was woken on port n
    std::int64_t lastTimes[bird::maxSensors]; // of each index's last reading; -1: none
    std::int64_t toldOffset = 0;              // from the real library's clock to this one's
    bool told = false;                        // the real library has told a time

    Recorder() { std::fill(std::begin(lastTimes), std::end(lastTimes), std::int64_t{-1}); }

    bool forwarding() const { return shutDown != nullptr; }

    // Notes the first write failure with the system's reason.
    void check(bool ok) {
        if (!ok && !failed) {
            failed = true;
            error = "cannot write " + fileName + " (" + std::strerror(errno) + ")";
        }
    }

    void writeHeader() {
        headerWritten = true;
        RecordingHeader header;
        for (std::uint16_t port = 1; port < 16; ++port) {
            if ((portsWoken & (1u << port)) != 0) {
                header.ports.push_back(port);
            }
        }
        header.start = recordingStartTime(startWall, startMilliseconds);
        const std::string text = recordingHeaderText(header);
        check(std::fwrite(text.data(), 1, text.size(), file) == text.size());
    }

    void writeReading(std::int32_t deviceIndex, std::int32_t result, const std::uint8_t* reading) {
        if (file == nullptr || failed || deviceIndex < 0 || deviceIndex >= bird::maxSensors ||
            ports[deviceIndex] == 0) {
            return;
        }
        if (!headerWritten) {
            writeHeader();
        }
        const auto elapsed = readingElapsed(deviceIndex);
        lastTimes[deviceIndex] = elapsed;
        float angles[3] = {};
        if (result != 0 && reading != nullptr) {
            std::memcpy(angles, reading, sizeof angles);
        }
        char line[recordingLineSize];
        const std::size_t length =
            writeRecordingLine(elapsed, ports[deviceIndex], result, angles, line);
        check(std::fwrite(line, 1, length, file) == length);
    }

    // The reading's milliseconds since the start: on the real library's clock from
    // its first answer on, where it tells one, so that a paced run is recorded at
    // the times of its schedule; else on this library's own.
    std::int64_t readingElapsed(std::int32_t deviceIndex) {
        const std::int64_t theirs = readingTime != nullptr ? readingTime(deviceIndex) : -1;
        if (theirs >= 0 && told) {
            return theirs + toldOffset;
        }
        const std::int64_t own =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (theirs >= 0) {
            told = true;
            toldOffset = own - theirs;
        }
        return own;
    }

    bool flush() {
        if (file != nullptr && !failed) {
            check(std::fflush(file) == 0);
        }
        return !failed;
    }
};

std::mutex recorderMutex;
Recorder recorder;

using Lock = std::lock_guard<std::mutex>;

template <typename Fn> bool resolve(platform::LibraryHandle library, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(platform::librarySymbol(library, name));
    return fn != nullptr;
}

} // namespace

std::int32_t birdrecord_start(const char* sensorLibrary, const char* file, const char* name) {
    Lock lock(recorderMutex);
    if (recorder.file != nullptr) {
        recorder.error = "a recording is already running";
        return 0;
    }
    if (!recorder.forwarding()) {
        // Kept for the rest of the process: the plug-in calls through this library.
        const platform::LibraryHandle library = platform::loadLibraryUtf8(sensorLibrary);
        Recorder bound;
        if (library == nullptr ||
            !(resolve(library, "_3dbirdWakeUp", bound.wakeUp) &&
              resolve(library, "_3dbirdGetDeviceConfig", bound.getDeviceConfig) &&
              resolve(library, "_3dbirdSetDeviceConfig", bound.setDeviceConfig) &&
              resolve(library, "_3dbirdResetOrientation", bound.resetOrientation) &&
              resolve(library, "_3dbirdStartStream", bound.startStream) &&
              resolve(library, "_3dbirdGetMostRecentReading", bound.getMostRecentReading) &&
              resolve(library, "_3dbirdShutDown", bound.shutDown))) {
            recorder.error = std::string("cannot load the sensor library ") + sensorLibrary + " (" +
                             (library == nullptr ? platform::libraryError()
                                                 : "it lacks the sensor library's calls") +
                             ")";
            return 0;
        }
        bound.readingTime = reinterpret_cast<bird::ReadingTimeFn>(
            platform::librarySymbol(library, bird::readingTimeName));
        bound.libraryPath = sensorLibrary;
        recorder = bound;
    }
    recorder.fileName = name;
    recorder.file = platform::openFile(file, "wb");
    if (recorder.file == nullptr) {
        recorder.error = "cannot write " + recorder.fileName + " (" + std::strerror(errno) + ")";
        return 0;
    }
    recorder.failed = false;
    recorder.headerWritten = false;
    std::fill(std::begin(recorder.ports), std::end(recorder.ports), std::uint16_t{0});
    recorder.portsWoken = 0;
    recorder.told = false;
    std::fill(std::begin(recorder.lastTimes), std::end(recorder.lastTimes), std::int64_t{-1});
    platform::WallClock wall{};
    platform::readWallClock(wall);
    recorder.start = Clock::now();
    recorder.startWall = wall.seconds;
    recorder.startMilliseconds = wall.milliseconds;
    return 1;
}

const char* birdrecord_sensorLibrary() {
    Lock lock(recorderMutex);
    return recorder.libraryPath.c_str();
}

std::int32_t birdrecord_flush() {
    Lock lock(recorderMutex);
    return recorder.flush() ? 1 : 0;
}

std::int32_t birdrecord_finish() {
    Lock lock(recorderMutex);
    if (recorder.file == nullptr) {
        return recorder.failed ? 0 : 1;
    }
    if (!recorder.failed && !recorder.headerWritten) {
        recorder.writeHeader();
    }
    int error = 0;
    if (recorder.flush() && !platform::flushToDisk(recorder.file, error)) {
        errno = error;
        recorder.check(false);
    }
    recorder.check(std::fclose(recorder.file) == 0);
    recorder.file = nullptr;
    return recorder.failed ? 0 : 1;
}

const char* birdrecord_error() {
    Lock lock(recorderMutex);
    return recorder.error.c_str();
}

std::int64_t birdrecord_lastTime(std::int32_t deviceIndex) {
    Lock lock(recorderMutex);
    return deviceIndex >= 0 && deviceIndex < bird::maxSensors ? recorder.lastTimes[deviceIndex]
                                                              : -1;
}

// The time a replay hands the plug-in for the reading, written with it here.
std::int64_t bird_readingTime(std::int32_t deviceIndex) {
    return birdrecord_lastTime(deviceIndex);
}

std::int32_t _3dbirdWakeUp(std::int32_t deviceIndex, std::uint16_t serialPort, std::int32_t a,
                           std::int32_t b) {
    Lock lock(recorderMutex);
    if (!recorder.forwarding()) {
        return 0;
    }
    const std::int32_t result = recorder.wakeUp(deviceIndex, serialPort, a, b);
    if (result != 0 && deviceIndex >= 0 && deviceIndex < bird::maxSensors && serialPort < 16) {
        recorder.ports[deviceIndex] = serialPort;
        recorder.portsWoken |= 1u << serialPort;
    }
    return result;
}

std::int32_t _3dbirdGetMostRecentReading(std::int32_t deviceIndex, std::uint8_t* reading) {
    Lock lock(recorderMutex);
    if (!recorder.forwarding()) {
        return 0;
    }
    const std::int32_t result = recorder.getMostRecentReading(deviceIndex, reading);
    recorder.writeReading(deviceIndex, result, reading);
    return result;
}

// The other calls pass straight through.
std::int32_t _3dbirdGetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    Lock lock(recorderMutex);
    return recorder.forwarding() ? recorder.getDeviceConfig(deviceIndex, config) : 0;
}

std::int32_t _3dbirdSetDeviceConfig(std::int32_t deviceIndex, std::uint8_t* config) {
    Lock lock(recorderMutex);
    return recorder.forwarding() ? recorder.setDeviceConfig(deviceIndex, config) : 0;
}

std::int32_t _3dbirdResetOrientation(std::int32_t deviceIndex) {
    Lock lock(recorderMutex);
    return recorder.forwarding() ? recorder.resetOrientation(deviceIndex) : 0;
}

std::int32_t _3dbirdStartStream(std::int32_t deviceIndex) {
    Lock lock(recorderMutex);
    return recorder.forwarding() ? recorder.startStream(deviceIndex) : 0;
}

std::int32_t _3dbirdShutDown(std::int32_t deviceIndex) {
    Lock lock(recorderMutex);
    return recorder.forwarding() ? recorder.shutDown(deviceIndex) : 0;
}
