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
        const auto at = std::lower_bound(silent.begin(), silent.end(), device);
        const bool listed = at != silent.end() && *at == device;
        if (listed == !answering) {
            return;
        }
        if (answering) {
            silent.erase(at);
        } else {
            silent.insert(at, device);
        }
        ++silentVersion;
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

bool LatestPoses::silentSince(std::uint64_t& seen, std::vector<std::string>& devices) const {
    const std::lock_guard<std::mutex> lock(mutex);
    if (silentVersion <= seen) {
        return false;
    }
    seen = silentVersion;
    devices = silent;
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
