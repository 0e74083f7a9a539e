// The receive cycle: one reading through calibration and transforms into the storage.
#include "ReceiveCycle.h"

#include "C3DBird.h"
#include "ReadingTime.h"
#include "platform/platform.h"
#include "support/CDataStorage.h"
#include "tracker/PoseTransform.h"

#include <chrono>
#include <cstring>

namespace {

// 180 / 3.1415926535: radians to degrees for the sensor's angles.
constexpr double radiansToDegrees = 57.29577951471995;

double readingDegrees(const std::uint8_t* reading, std::size_t index) {
    float angle;
    std::memcpy(&angle, reading + index * sizeof(float), sizeof angle);
    return angle * radiansToDegrees;
}

} // namespace

TrackerPose poseFromReading(const std::uint8_t* reading, bool caveCoordinates) {
    const double first = readingDegrees(reading, 0);
    const double third = readingDegrees(reading, 2);
    TrackerPose pose{};
    pose.angle1 = static_cast<float>(caveCoordinates ? -first : first);
    pose.angle2 = static_cast<float>(readingDegrees(reading, 1));
    pose.angle3 = static_cast<float>(caveCoordinates ? -third : third);
    return pose;
}

// The position starts from zero in every cycle, so that the transforms never take
// the last cycle's result as their input and accumulate.
bool placePose(TrackerPose& pose, const CTraCommonH& table, std::uint32_t rawId,
               const float* fixedPosition, double seconds) {
    if (table.calib() != nullptr && !table.calib()->evaluateAt(&pose, seconds)) {
        return false;
    }
    if (fixedPosition != nullptr) {
        pose.x = fixedPosition[0];
        pose.y = fixedPosition[1];
        pose.z = fixedPosition[2];
    }
    // A sensor translation alone moves the pose too.
    const TrackerEntry& entry = table.entry(rawId);
    if (table.transmitterOffsetSet() || table.transmitterRotationSet() || entry.offsetSet ||
        entry.rotationSet || entry.translationSet) {
        transformPose(pose, &table.transmitterTransform(), &entry.transform, entry.translation);
    }
    return true;
}

std::int32_t C3DBird::recvData(std::uint8_t* updateMask, std::int32_t) {
    logger->debug("C3DBird: \"recvData\" called.");
    if (traCommon != nullptr && updateMask != nullptr) {
        CTraCommonH::clearUpdateMask(updateMask);
    }
    std::uint8_t reading[bird::readingSize];
    const bool ok =
        _3dbirdGetMostRecentReading(deviceIndex, reading) != 0 && readingEncodable(reading);
    if (reconnection.on() && !followStream(ok, reading)) {
        return -1;
    }
    if (!ok) {
        return -1;
    }
    if (readyFlag == nullptr || *readyFlag == 0) {
        return -1;
    }
    logger->debug("C3DBird: Checking the data format.");
    Outcome outcome = Outcome::nothing;
    for (std::uint32_t rawId = 1; rawId <= sensorCount; ++rawId) {
        outcome = receiveSensor(rawId, reading, updateMask);
        if (outcome == Outcome::refused) {
            return -1;
        }
    }
    if (outcome == Outcome::nothing && logger->isDebugOn()) {
        logger->warning("C3DBird: No valid data received.");
    }
    return 1;
}

// One sensor of the cycle: its record, delivered when its pose changed.
C3DBird::Outcome C3DBird::receiveSensor(std::uint32_t rawId, const std::uint8_t* reading,
                                        std::uint8_t* updateMask) {
    if (traCommon == nullptr) {
        return Outcome::nothing;
    }
    const std::uint32_t traId = traCommon->entry(rawId).order + traCommon->idOffset();
    logger->debug("C3DBird: rawID: ") << rawId << " newTraID: " << traId;
    if (traId == 0 || traId > CDataStorage::maxRecords) {
        return Outcome::nothing;
    }
    TraData record;
    if (!makeRecord(rawId, traId, reading, record)) {
        return Outcome::refused;
    }
    TraData& last = lastRecords[rawId - 1];
    if (samePose(last, record) != 0) {
        return Outcome::record;
    }
    last = record;
    if (!deliver(record, traId)) {
        logger->error("C3DBird: TraData storage not found");
        return Outcome::nothing;
    }
    // Only a record that reached the storage is reported to the caller.
    if (updateMask != nullptr) {
        CTraCommonH::setUpdateMaskBit(updateMask, traId);
    }
    return Outcome::record;
}

// The record of real tracker `rawId`: time, ID and the placed pose of the reading.
bool C3DBird::makeRecord(std::uint32_t rawId, std::uint32_t traId, const std::uint8_t* reading,
                         TraData& record) {
    stamp(record);
    record.traID = platform::hostToNet(traId);
    TrackerPose pose = poseFromReading(reading, traCommon->caveCoordinates());
    // The reading's time matters to a calibration library alone.
    const double seconds = traCommon->calib() != nullptr ? readingSeconds(deviceIndex) : 0.0;
    if (!placePose(pose, *traCommon, rawId, options.fixedPosition ? options.position : nullptr,
                   seconds)) {
        return false;
    }
    if (!poseEncodable(pose)) {
        tellUnencodable("'s pose came out of calibration and transforms as a value");
        return false;
    }
    encodePose(record, pose);
    return true;
}

// A reading whose angle is not finite, or beyond what a record's field holds, is
// no pose: a field would hold only the low 32 bits of it, or nothing defined.
bool C3DBird::readingEncodable(const std::uint8_t* reading) {
    if (poseEncodable(poseFromReading(reading, false))) {
        return true;
    }
    tellUnencodable(" gave an angle");
    return false;
}

// Said once per device: such readings may come in every cycle, and the host
// counts the cycles they fail.
void C3DBird::tellUnencodable(const char* what) {
    if (toldUnencodable) {
        return;
    }
    toldUnencodable = true;
    logger->warning("C3DBird: Sensor on port ")
        << options.serialPort << what
        << " that is not a number a record can hold; such a reading fails.";
}

// Copies the record into the slot of its tracker ID under the storage's lock; false
// when there is no slot (or, after a repeated init that failed for want of one, no
// storage).
bool C3DBird::deliver(const TraData& record, std::uint32_t traId) {
    CDataStorage* const storage = initInfo.dataStorage;
    if (storage == nullptr) {
        return false;
    }
    const StorageLock lock(*storage);
    TraData* const slot = storage->getTraData(traId);
    if (slot == nullptr) {
        return false;
    }
    logger->debug("C3DBird: TraData storage found");
    *slot = record;
    return true;
}

// With the "reconnect" option: what the state of the stream makes of this cycle;
// false when the cycle fails, as it does for a reading that failed.
bool C3DBird::followStream(bool ok, const std::uint8_t* reading) {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
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
