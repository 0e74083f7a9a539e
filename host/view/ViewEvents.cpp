// The viewer's event texts.
#include "host/view/ViewEvents.h"

#include <cstdio>

std::string viewEvent(const std::vector<LatestPose>& entries) {
    std::string text = "data: {\"trackers\":[";
    for (const LatestPose& entry : entries) {
        const PoseRow& pose = entry.pose;
        if (&entry != &entries.front()) {
            text += ',';
        }
        char delivered[32];
        std::snprintf(delivered, sizeof delivered, "%.3f", entry.deliveredMs);
        text += "{\"device\":" + jsonText(pose.device) + ",\"id\":" + std::to_string(pose.id) +
                ",\"time\":\"" + poseTimeText(pose) + "\",\"delivered\":" + delivered +
                ",\"values\":[";
        const float values[] = {pose.x, pose.y, pose.z, pose.angle1, pose.angle2, pose.angle3};
        for (int i = 0; i < 6; ++i) {
            text += (i == 0 ? "\"" : ",\"") + valueText(values[i]) + '"';
        }
        text += "]}";
    }
    return text + "]}\n\n";
}

std::string viewStreamStart(const std::string& run) {
    return "retry: 1000\nevent: run\ndata: " + run + "\n\n";
}
