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
    std::vector<std::string> lost;
    if (poses.lostSince(lostVersion, lost)) {
        lostEvent = viewLostEvent(lost);
        noneLost = lost.empty();
    }
    isClosed = poses.closed();
}

bool ViewNews::lacks(std::uint64_t seen, std::uint64_t lostSeen) const {
    return seen < version || lostSeen < lostVersion;
}

std::string ViewNews::news(std::uint64_t& seen, std::uint64_t& lostSeen) const {
    std::string text;
    if (lostSeen < lostVersion) {
        // A new stream hears of the list only when someone is lost.
        text = lostSeen == 0 && noneLost ? std::string() : lostEvent;
        lostSeen = lostVersion;
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
