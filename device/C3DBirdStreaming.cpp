// The device's sensor configuration and streaming: configure, start, stop, sendData,
// and the reconnection that repeats them, with its messages (followStream).
#include "C3DBird.h"

#include "ReadingTime.h"

#include <cstring>

bool C3DBird::start() {
    logger->debug("C3DBird: \"start\" called.");
    if (_3dbirdStartStream(deviceIndex) != 0) {
        return true;
    }
    _3dbirdShutDown(deviceIndex);
    return false;
}

bool C3DBird::stop() {
    logger->debug("C3DBird: \"stop\" called.");
    _3dbirdShutDown(deviceIndex);
    if (traCommon != nullptr && traCommon->calib() != nullptr && !traCommon->calib()->exit()) {
        return false;
    }
    return true;
}

std::int32_t C3DBird::sendData(std::int32_t, std::int32_t) {
    logger->warning("C3DBird: Can not send any data.");
    return -1;
}

bool C3DBird::resetOrientation() {
    logger->debug("C3DBird: Resetting.");
    if (_3dbirdResetOrientation(deviceIndex) != 0) {
        logger->debug("C3DBird: Reset done.");
        return true;
    }
    logger->error("C3DBird: Resetting failed.");
    return false;
}

// Changes the block in memory only; the next write takes it to the sensor.
bool C3DBird::setReferenceFrame() {
    logger->debug("C3DBird: Setting reference frame.");
    const std::uint16_t zero = 0;
    std::memcpy(deviceConfig + bird::referenceFrameByte, &zero, sizeof zero);
    logger->debug("C3DBird: Setting reference frame done.");
    return true;
}

std::int32_t C3DBird::configure() {
    logger->debug("C3DBird: \"configure\" called.");
    if (_3dbirdGetDeviceConfig(deviceIndex, deviceConfig) == 0) {
        logger->error("C3DBird: could not get 3DBIRD config.");
        _3dbirdShutDown(deviceIndex);
        return -1;
    }
    if (!options.reset) {
        deviceConfig[bird::resetFlagByte] = bird::noResetValue;
    }
    if (traCommon != nullptr && traCommon->caveCoordinates()) {
        setReferenceFrame();
    }
    if (_3dbirdSetDeviceConfig(deviceIndex, deviceConfig) == 0) {
        logger->error("C3DBird: could not set 3DBIRD config.");
        _3dbirdShutDown(deviceIndex);
        return -1;
    }
    if (options.reset && !resetOrientation()) {
        return 0;
    }
    return typeCode;
}

// One reconnection attempt: the sensor shut down, woken again under its index on its
// port, configured as configure does it and started. Answers why it failed, or null
// when every step went through; the calls it makes report as they always do, and the
// receive cycle says what the failed attempts came to.
const char* C3DBird::reconnectSensor() {
    _3dbirdShutDown(deviceIndex);
    if (!wakeUpAs(deviceIndex)) {
        return "wake-up failed";
    }
    if (configure() < 0) {
        return "configuration failed";
    }
    if (!start()) {
        return "start failed";
    }
    return nullptr;
}

// With the "reconnect" option: what the state of the stream makes of this cycle;
// false when the cycle fails, as it does for a reading that failed.
bool C3DBird::followStream(bool ok, const std::uint8_t* reading) {
    // On the reading's clock: the one the host paces, where the sensor library tells it.
    const std::int64_t now = readingMilliseconds(deviceIndex);
    switch (reconnection.afterReading(ok, reading, now)) {
    case Reconnection::Step::deliver:
        return true;
    case Reconnection::Step::recovered:
        logger->info("C3DBird: Sensor on port ")
            << options.serialPort << " streams again after " << reconnection.lostFor(now) << " ms.";
        return true;
    case Reconnection::Step::declareLoss:
        logger->warning("C3DBird: Sensor on port ")
            << options.serialPort << " stopped answering; reconnecting.";
        attemptFailure = reconnectSensor();
        return false;
    case Reconnection::Step::attempt:
        // The stream is not back, so the attempts so far failed: said with the last
        // one's cause, at most once per report spacing.
        if (reconnection.reportDue(now)) {
            const std::int64_t failed = reconnection.failedAttempts();
            logger->warning("C3DBird: Sensor on port ")
                << options.serialPort << " still not answering after " << failed
                << (failed == 1 ? " attempt (" : " attempts (")
                << (attemptFailure != nullptr ? attemptFailure : "no new reading since the restart")
                << ").";
        }
        attemptFailure = reconnectSensor();
        return false;
    case Reconnection::Step::failed:
    case Reconnection::Step::wait:
        break;
    }
    return false;
}
