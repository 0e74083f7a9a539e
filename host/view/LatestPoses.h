// The latest record of every tracker, handed from the receive cycle to the viewer's
// streams: the cycle only copies into the table under a short lock, and each stream
// takes what changed since its last look, so a slow reader never holds up a cycle.
#pragma once

#include "host/output/PoseListener.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

struct LatestPose {
    PoseRow pose;
    double deliveredMs = 0.0; // wall clock at delivery, milliseconds since 1970 UTC
    std::uint64_t version = 0;
};

class LatestPoses : public PoseListener {
public:
    static constexpr std::uint32_t maxTrackers = 32;

    void poseDelivered(const PoseRow& pose) override;

    // Waits until a record newer than `seen` is there, the table is closed or
    // `timeout` passes; true in the first two cases.
    bool waitNewer(std::uint64_t seen, std::chrono::milliseconds timeout) const;
    // The trackers whose latest record is newer than `seen`, in tracker ID order;
    // `seen` becomes the newest version taken.
    std::vector<LatestPose> changedSince(std::uint64_t& seen) const;

    // No more records: wakes every waiting stream so that it can send what is
    // left and end.
    void close();
    bool closed() const;

private:
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::array<LatestPose, maxTrackers> table{};
    std::uint64_t version = 0;
    bool isClosed = false;
};
