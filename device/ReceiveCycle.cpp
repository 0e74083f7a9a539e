// The receive cycle's steps on plain values: a reading becomes a pose, and the pose
// is placed through calibration, fixed position and transforms.
#include "ReceiveCycle.h"

#include "tracker/PoseTransform.h"

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
