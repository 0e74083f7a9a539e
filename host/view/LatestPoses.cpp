// The latest-record table between the receive cycle and the viewer.
#include "host/view/LatestPoses.h"

#include <algorithm>
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

void LatestPoses::deviceAnswering(const std::string& device, bool answering) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto at = std::lower_bound(lost.begin(), lost.end(), device);
        const bool listed = at != lost.end() && *at == device;
        if (listed == !answering) {
            return;
        }
        if (answering) {
            lost.erase(at);
        } else {
            lost.insert(at, device);
        }
        ++lostVersion;
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

bool LatestPoses::lostSince(std::uint64_t& seen, std::vector<std::string>& devices) const {
    const std::lock_guard<std::mutex> lock(mutex);
    if (lostVersion <= seen) {
        return false;
    }
    seen = lostVersion;
    devices = lost;
    return true;
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
