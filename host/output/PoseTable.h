// trackhost's output: delivered records decoded and written as a table, CSV or JSON lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "host/output/OutputFormat.h"
#include "support/TraData.h"

// One record in host values: position in feet, angles in degrees.
// The pose x, y, z, angle1, angle2, angle3 comes with the record's device, ID and time.
struct PoseRow : TrackerPose {
    PoseRow() : TrackerPose{} {}

    std::string device;
    std::uint32_t id = 0;
    std::int32_t seconds = 0; // since 1970-01-01 UTC
    std::uint32_t milliseconds = 0;
};

PoseRow decodeRecord(const std::string& device, const TraData& record);

class PoseWriter {
public:
    // `deviceWidth`: the longest device name, to align the table's first column.
    PoseWriter(std::ostream& out, OutputFormat format, std::size_t deviceWidth);

    void header();
    void row(const PoseRow& pose);

private:
    std::ostream& out;
    OutputFormat format;
    int deviceWidth;
};

// The texts every format prints, for other views of the records: a value with five
// decimals, the time as seconds.milliseconds, a quoted and escaped JSON string.
std::string valueText(float value);
std::string poseTimeText(const PoseRow& pose);
std::string jsonText(const std::string& text);
