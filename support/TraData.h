// The 56-byte tracker data record delivered into the host's storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "TrackerPose.h"

// Every field of bytes 0 to 43 is held in network byte order.
struct TraData {
    std::uint32_t traID;
    std::uint32_t reserved1; // never written; zero from construction
    std::int32_t seconds;
    std::uint32_t microseconds;
    std::uint32_t reserved2; // never written; zero from construction
    std::int32_t x;          // fixed point: value x 100000, feet
    std::int32_t y;
    std::int32_t z;
    std::int32_t angle1; // fixed point: value x 100000, degrees
    std::int32_t angle2;
    std::int32_t angle3;
    std::uint8_t scratch[12]; // the clock's buffer, host byte order

    // Bytes 0 to 43 zero; the scratch bytes are the clock's and stay as they are.
    TraData() { std::memset(static_cast<void*>(this), 0, offsetof(TraData, scratch)); }
};

static_assert(sizeof(TraData) == 56, "TraData is a 56-byte record");
static_assert(offsetof(TraData, seconds) == 8 && offsetof(TraData, microseconds) == 12 &&
                  offsetof(TraData, x) == 20 && offsetof(TraData, angle1) == 32 &&
                  offsetof(TraData, angle3) == 40 && offsetof(TraData, scratch) == 44,
              "TraData field offsets");

// Fixed-point field (network order) from a pose value: value x 100000, truncated.
std::int32_t encode(float value);
// Whether a field holds `value` as it is: a finite number of magnitude below
// 21474.83648; beyond that a field keeps only the low 32 bits of the product.
bool encodable(float value);
// Whether the fields hold all six values of the pose.
bool poseEncodable(const TrackerPose& pose);
// The six pose fields of a record from a pose.
void encodePose(TraData& record, const TrackerPose& pose);
// The six pose values of a record.
TrackerPose decodePose(const TraData& record);
// Pose value of a fixed-point field (network order).
float decode(std::int32_t field);
// Sets the time fields from the wall clock, through the scratch bytes; true.
bool stamp(TraData& record);
// 1 when the six pose values of both records are equal, else 0.
std::int32_t samePose(const TraData& last, const TraData& current);
