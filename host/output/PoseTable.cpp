// trackhost's output formats.
#include "host/output/PoseTable.h"
#include "host/report/TextColumns.h"

#include "host/report/ShownText.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", static_cast<double>(value));
    return text;
}

std::string timeText(const PoseRow& pose) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld.%03lu", static_cast<long>(pose.seconds),
                  static_cast<unsigned long>(pose.milliseconds));
    return text;
}

// Control characters shown escaped, as in the table: a record never steers a terminal.
std::string csvField(const std::string& outside) {
    const std::string text = shownText(outside);
    if (text.find_first_of(",\"") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

constexpr const char* valueNames[] = {"x", "y", "z", "angle1", "angle2", "angle3"};

} // namespace

PoseRow decodeRecord(const std::string& device, const TraData& record) {
    PoseRow pose;
    pose.device = device;
    pose.id = platform::netToHost(record.traID);
    pose.seconds =
        static_cast<std::int32_t>(platform::netToHost(static_cast<std::uint32_t>(record.seconds)));
    pose.milliseconds = platform::netToHost(record.microseconds) / 1000u;
    static_cast<TrackerPose&>(pose) = decodePose(record);
    return pose;
}

PoseWriter::PoseWriter(std::ostream& out, OutputFormat format, std::size_t deviceWidth)
    : out(out), format(format),
      deviceWidth(
          static_cast<int>(std::min<std::size_t>(std::max<std::size_t>(deviceWidth, 6), 40))) {}

void PoseWriter::header() {
    switch (format) {
    case OutputFormat::table: {
        char text[160];
        std::snprintf(text, sizeof text, "%-*s %3s %14s", deviceWidth, "device", "ID", "time");
        out << text;
        for (const char* name : valueNames) {
            std::snprintf(text, sizeof text, " %11s", name);
            out << text;
        }
        out << "\n";
        break;
    }
    case OutputFormat::csv:
        out << "device,id,time";
        for (const char* name : valueNames) {
            out << "," << name;
        }
        out << "\n";
        break;
    case OutputFormat::json:
        break; // every line is a complete object
    }
    out.flush();
}

void PoseWriter::row(const PoseRow& pose) {
    const float values[] = {pose.x, pose.y, pose.z, pose.angle1, pose.angle2, pose.angle3};
    switch (format) {
    case OutputFormat::table: {
        char text[160];
        // Padded by the columns the name takes, so that wide characters keep the
        // columns after it in line.
        std::snprintf(text, sizeof text, " %3lu %14s", static_cast<unsigned long>(pose.id),
                      timeText(pose).c_str());
        out << padToColumns(shownText(pose.device), static_cast<std::size_t>(deviceWidth)) << text;
        for (const float value : values) {
            std::snprintf(text, sizeof text, " %11s", number(value).c_str());
            out << text;
        }
        out << "\n";
        break;
    }
    case OutputFormat::csv:
        out << csvField(pose.device) << "," << pose.id << "," << timeText(pose);
        for (const float value : values) {
            out << "," << number(value);
        }
        out << "\n";
        break;
    case OutputFormat::json:
        out << "{\"device\":" << jsonString(pose.device) << ",\"id\":" << pose.id
            << ",\"time\":" << timeText(pose);
        for (int i = 0; i < 6; ++i) {
            out << ",\"" << valueNames[i] << "\":" << number(values[i]);
        }
        out << "}\n";
        break;
    }
    out.flush();
}

std::string valueText(float value) {
    return number(value);
}

std::string poseTimeText(const PoseRow& pose) {
    return timeText(pose);
}

std::string jsonText(const std::string& text) {
    return jsonString(text);
}
