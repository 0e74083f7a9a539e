// The I/O thread's copy of the latest-record table.
#include "host/view/ViewNews.h"

#include "host/view/ViewEvents.h"

#include <vector>

ViewNews::ViewNews(const LatestPoses& poses, const std::string& run)
    : poses(poses), startText(viewStreamStart(run)) {}

void ViewNews::take() {
    for (LatestPose& entry : poses.changedSince(version)) {
        Record& record = records[entry.pose.id - 1];
        record.version = entry.version;
        record.text = viewRecord(entry);
    }
    std::vector<std::string> silent;
    if (poses.silentSince(silentVersion, silent)) {
        silentEvent = viewSilentEvent(silent);
        noneSilent = silent.empty();
    }
    isClosed = poses.closed();
}

bool ViewNews::lacks(std::uint64_t seen, std::uint64_t silentSeen) const {
    return seen < version || silentSeen < silentVersion;
}

std::string ViewNews::news(std::uint64_t& seen, std::uint64_t& silentSeen) const {
    std::string text;
    if (silentSeen < silentVersion) {
        // A new stream hears of the list only when a device is silent.
        text = silentSeen == 0 && noneSilent ? std::string() : silentEvent;
        silentSeen = silentVersion;
    }
    std::vector<const std::string*> newer;
    for (const Record& record : records) {
        if (record.version > seen) {
            newer.push_back(&record.text);
        }
    }
    seen = version;
    return newer.empty() ? text : text + viewEvent(newer);
}
