// C3DBird's receive cycle (recvData): one reading, through the plain-value steps of
// ReceiveCycle.h, into a record in the host's storage.
#include "C3DBird.h"

#include "ReadingTime.h"
#include "ReceiveCycle.h"
#include "platform/platform.h"
#include "support/CDataStorage.h"

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
        // GCOVR_EXCL_START: only an init that ran out of memory while making the
        // tracker table leaves a device, awake, without one.
        return Outcome::nothing;
        // GCOVR_EXCL_STOP
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
