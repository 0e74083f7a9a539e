// The latest-record table between the receive cycle and the viewer.
#include "host/view/LatestPoses.h"

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
    changed.notify_all();
}

bool LatestPoses::waitNewer(std::uint64_t seen, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return isClosed || version > seen; });
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
    changed.notify_all();
}

bool LatestPoses::closed() const {
    const std::lock_guard<std::mutex> lock(mutex);
    return isClosed;
}
