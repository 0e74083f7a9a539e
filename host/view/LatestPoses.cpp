// The latest-record table between the receive cycle and the viewer.
#include "host/view/LatestPoses.h"

#include <chrono>

void LatestPoses::onChange(std::function<void()> callback) {
    changed = std::move(callback);
}

void LatestPoses::changedNow() const {
    if (changed) {
        changed();
    }
}

void LatestPoses::poseDelivered(const PoseRow& pose) {
    if (pose.id < 1 || pose.id > maxTrackers) {
        return;
    }
    const double now = std::chrono::duration<double, std::milli>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    {
        const std::lock_guard<std::mutex> lock(mutex);
        LatestPose& entry = table[pose.id - 1];
        entry.pose = pose;
        entry.deliveredMs = now;
        entry.version = ++version;
    }
    changedNow();
}

std::vector<LatestPose> LatestPoses::changedSince(std::uint64_t& seen) const {
    std::vector<LatestPose> entries;
    const std::lock_guard<std::mutex> lock(mutex);
    for (const LatestPose& entry : table) {
        if (entry.version > seen) {
            entries.push_back(entry);
        }
    }
    seen = version;
    return entries;
}

void LatestPoses::close() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        isClosed = true;
    }
    changedNow();
}

bool LatestPoses::closed() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return isClosed;
}
