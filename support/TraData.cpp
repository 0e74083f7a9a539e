// Tracker data record: fixed-point encoding, time stamp and pose comparison.
#include "TraData.h"

#include "platform/platform.h"

#include <cstring>

std::int32_t encode(float value) {
    // The product of a float and 100000 is exact in double precision; truncate
    // toward zero and keep the low 32 bits. Products outside the 64-bit range
    // (and NaN) give 0, the processor's own answer, without undefined behaviour.
    const double product = static_cast<double>(value) * 100000.0;
    const bool fits = product > -9.2233720368547758e18 && product < 9.2233720368547758e18;
    const std::int64_t scaled = fits ? static_cast<std::int64_t>(product) : 0;
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint64_t>(scaled));
    return static_cast<std::int32_t>(platform::hostToNet(low));
}

bool encodable(float value) {
    // The product is exact in double precision; a NaN fails both comparisons.
    const double product = static_cast<double>(value) * 100000.0;
    return product > -2147483648.0 && product < 2147483648.0;
}

namespace {

// The six fixed-point fields of a record beside the pose values they hold, in the
// order the record holds them.
constexpr struct {
    std::int32_t TraData::*field;
    float TrackerPose::*value;
} poseFields[] = {
    {&TraData::x, &TrackerPose::x},           {&TraData::y, &TrackerPose::y},
    {&TraData::z, &TrackerPose::z},           {&TraData::angle1, &TrackerPose::angle1},
    {&TraData::angle2, &TrackerPose::angle2}, {&TraData::angle3, &TrackerPose::angle3},
};

} // namespace

// Written out rather than looped: this runs in every receive cycle.
void encodePose(TraData& record, const TrackerPose& pose) {
    record.x = encode(pose.x);
    record.y = encode(pose.y);
    record.z = encode(pose.z);
    record.angle1 = encode(pose.angle1);
    record.angle2 = encode(pose.angle2);
    record.angle3 = encode(pose.angle3);
}

bool poseEncodable(const TrackerPose& pose) {
    for (const auto& pair : poseFields) {
        if (!encodable(pose.*pair.value)) {
            return false;
        }
    }
    return true;
}

TrackerPose decodePose(const TraData& record) {
    TrackerPose pose{};
    for (const auto& pair : poseFields) {
        pose.*pair.value = decode(record.*pair.field);
    }
    return pose;
}

float decode(std::int32_t field) {
    const auto value =
        static_cast<std::int32_t>(platform::netToHost(static_cast<std::uint32_t>(field)));
    return static_cast<float>(value) * 0.00001f;
}

bool stamp(TraData& record) {
    platform::WallClock clock{};
    platform::readWallClock(clock);
    std::memcpy(record.scratch, &clock, sizeof record.scratch);
    record.seconds =
        static_cast<std::int32_t>(platform::hostToNet(static_cast<std::uint32_t>(clock.seconds)));
    record.microseconds =
        platform::hostToNet(static_cast<std::uint32_t>(clock.milliseconds) * 1000u);
    return true;
}

std::int32_t samePose(const TraData& last, const TraData& current) {
    for (const auto& pair : poseFields) {
        if (decode(last.*pair.field) != decode(current.*pair.field)) {
            return 0;
        }
    }
    return 1;
}
