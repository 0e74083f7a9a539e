// The viewer's event texts.
#include "host/view/ViewEvents.h"

#include <cstdio>

std::string viewRecord(const LatestPose& entry) {
    const PoseRow& pose = entry.pose;
    char delivered[32];
    std::snprintf(delivered, sizeof delivered, "%.3f", entry.deliveredMs);
    std::string text = "{\"device\":" + jsonText(pose.device) +
                       ",\"id\":" + std::to_string(pose.id) + ",\"time\":\"" + poseTimeText(pose) +
                       "\",\"delivered\":" + delivered + ",\"values\":[";
    const float values[] = {pose.x, pose.y, pose.z, pose.angle1, pose.angle2, pose.angle3};
    for (int i = 0; i < 6; ++i) {
        text += (i == 0 ? "\"" : ",\"") + valueText(values[i]) + '"';
    }
    return text + "]}";
}

std::string viewEvent(const std::vector<const std::string*>& records) {
    std::string text = "data: {\"trackers\":[";
    for (std::size_t i = 0; i < records.size(); ++i) {
        text += (i == 0 ? "" : ",") + *records[i];
    }
    return text + "]}\n\n";
}

std::string viewEvent(const std::vector<LatestPose>& entries) {
    std::vector<std::string> texts;
    std::vector<const std::string*> records;
    texts.reserve(entries.size());
    for (const LatestPose& entry : entries) {
        texts.push_back(viewRecord(entry));
        records.push_back(&texts.back());
    }
    return viewEvent(records);
}

std::string viewSilentEvent(const std::vector<std::string>& devices) {
    std::string text = "event: lost\ndata: [";
    for (const std::string& device : devices) {
        text += (&device == &devices.front() ? "" : ",") + jsonText(device);
    }
    return text + "]\n\n";
}

std::string viewStreamStart(const std::string& run) {
    return "retry: 1000\nevent: run\ndata: " + run + "\n\n";
}
