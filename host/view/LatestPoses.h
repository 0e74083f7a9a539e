// The latest record of every tracker, and the devices that do not answer, handed
// from the receive cycle to the viewer's I/O thread: the cycle only copies into the
// table under a short lock and tells the I/O thread through a callback that must
// not wait; the I/O thread takes what changed since its last look.
#pragma once

#include "host/output/PoseListener.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct LatestPose {
    PoseRow pose;
    double deliveredMs = 0.0; // wall clock at delivery, milliseconds since 1970 UTC
    std::uint64_t version = 0;
};

class LatestPoses : public PoseListener {
public:
    static constexpr std::uint32_t maxTrackers = 32;

    // `changed` is called after every change and after close(), on the thread that
    // made it, outside the lock; it must return at once. Set before the first record.
    void onChange(std::function<void()> changed);

    void poseDelivered(const PoseRow& pose) override;
    void deviceAnswering(const std::string& device, bool answering) override;

    // The trackers whose latest record is newer than `seen`, in tracker ID order;
    // `seen` becomes the newest version taken.
    std::vector<LatestPose> changedSince(std::uint64_t& seen) const;
    // True, with the silent devices (those that do not answer now) in name order, when that list
    // changed after version `seen`; `seen` becomes the list's version.
    bool silentSince(std::uint64_t& seen, std::vector<std::string>& devices) const;

    // No more records: the streams send what is left and end.
    void close();
    bool closed() const;

private:
    void changedNow() const;

    mutable std::mutex mutex;
    std::function<void()> changed;
    std::array<LatestPose, maxTrackers> table{};
    std::uint64_t version = 0;
    std::vector<std::string> silent;
    std::uint64_t silentVersion = 0;
    bool isClosed = false;
};
