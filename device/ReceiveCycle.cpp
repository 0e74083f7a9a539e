// The receive cycle: one reading through calibration and transforms into the storage.
#include "C3DBird.h"

#include "platform/platform.h"
#include "support/CDataStorage.h"
#include "tracker/PoseTransform.h"

#include <cstring>

namespace {

// 180 / 3.1415926535: radians to degrees for the sensor's angles.
constexpr double radiansToDegrees = 57.29577951471995;

float readingAngle(const std::uint8_t* reading, std::size_t index) {
    float angle;
    std::memcpy(&angle, reading + index * sizeof(float), sizeof angle);
    return angle;
}

} // namespace

std::int32_t C3DBird::recvData(std::uint8_t* updateMask, std::int32_t) {
    logger->debug("C3DBird: \"recvData\" called.");
    if (traCommon != nullptr && updateMask != nullptr) {
        CTraCommonH::clearUpdateMask(updateMask);
    }
    if (_3dbirdGetMostRecentReading(deviceIndex, reading) == 0) {
        return -1;
    }
    if (readyFlag == nullptr || *readyFlag == 0) {
        return -1;
    }
    logger->debug("C3DBird: Checking the data format.");
    bool valid = false;
    for (std::uint32_t rawId = 1; rawId <= sensorCount; ++rawId) {
        if (!receiveSensor(rawId, updateMask, valid)) {
            return -1;
        }
    }
    if (!valid && logger->isDebugOn()) {
        logger->warning("C3DBird: No valid data received.");
    }
    return 1;
}

// One sensor of the cycle; false only when the calibration library refuses the pose.
bool C3DBird::receiveSensor(std::uint32_t rawId, std::uint8_t* updateMask, bool& valid) {
    valid = false;
    if (traCommon == nullptr) {
        return true;
    }
    const TrackerEntry& entry = traCommon->lookup[rawId - 1];
    const std::uint32_t traId = entry.order + traCommon->idOffset;
    logger->debug("C3DBird: rawID: ") << rawId << " newTraID: " << traId;
    if (traId == 0 || traId > CDataStorage::maxRecords) {
        return true;
    }
    stamp(record);
    record.traID = platform::hostToNet(traId);

    const double first = readingAngle(reading, 0) * radiansToDegrees;
    const double second = readingAngle(reading, 1) * radiansToDegrees;
    const double third = readingAngle(reading, 2) * radiansToDegrees;
    const bool cave = traCommon->caveCoordinates;
    pose.angle1 = static_cast<float>(cave ? -first : first);
    pose.angle2 = static_cast<float>(second);
    pose.angle3 = static_cast<float>(cave ? -third : third);

    const std::size_t sensor = rawId - 1;
    if (!fixedPosition[sensor]) {
        // Start from zero so that the transforms do not accumulate from cycle to cycle.
        pose.x = pose.y = pose.z = 0.0f;
    }
    if (traCommon->calib != nullptr && !traCommon->calib->evaluate(&pose)) {
        return false;
    }
    if (fixedPosition[sensor]) {
        pose.x = position[sensor][0];
        pose.y = position[sensor][1];
        pose.z = position[sensor][2];
    }
    if (traCommon->transmitterOffsetSet || traCommon->transmitterRotationSet || entry.offsetSet ||
        entry.rotationSet || entry.translationSet) {
        transformPose(pose, &traCommon->transmitterTransform, &entry.transform, entry.translation);
    }
    encodePose(record, pose);
    valid = true;

    TraData& last = lastRecords[sensor];
    if (samePose(last, record) != 0) {
        return true;
    }
    CDataStorage* const storage = initInfo.dataStorage;
    if (storage == nullptr) {
        // A repeated init that failed for want of a storage keeps the earlier table.
        lastSlot = nullptr;
    } else {
        storage->lock();
        lastSlot = storage->getTraData(traId);
        if (lastSlot != nullptr) {
            logger->debug("C3DBird: TraData storage found");
            *lastSlot = record;
        }
        storage->unlock();
    }
    if (lastSlot == nullptr) {
        logger->error("C3DBird: TraData storage not found");
        valid = false;
    }
    // Only a record that reached the storage is reported to the caller.
    if (lastSlot != nullptr && updateMask != nullptr) {
        CTraCommonH::setUpdateMaskBit(updateMask, traId);
    }
    last = record;
    return true;
}
