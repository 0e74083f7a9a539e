// The alignment's result as the two option lines a section takes, and those lines
// read back by the plug-in's own option reader and applied by its own pose
// transformation, as a device with them would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/align/AlignFit.h"
#include "host/plugin/HostConfig.h"
#include "support/CLoggerH.h"
#include "support/TrackerPose.h"
#include "tracker/CTraCommonH.h"

// The tracker ID a section's sensor options name: a device has one tracker.
constexpr int alignTrackerId = 1;

// "transmitterrotation AX AY AZ ANGLE" and "sensorrotation 1 AX AY AZ ANGLE": unit
// axes and angles from 0 to 180 degrees, six decimals each.
std::vector<std::string> alignLines(const AlignFit& fit);

class LineTransforms {
public:
    // Option lines as a configuration file holds them, keyword and arguments
    // separated by blanks.
    explicit LineTransforms(const std::vector<std::string>& lines);
    ~LineTransforms();

    LineTransforms(const LineTransforms&) = delete;
    LineTransforms& operator=(const LineTransforms&) = delete;

    // The plug-in took every line.
    bool valid() const { return accepted; }
    // The pose as a device with these lines delivers it.
    TrackerPose apply(TrackerPose pose) const;

private:
    CLoggerH logger;
    HostConfig config;
    std::unique_ptr<CTraCommonH> table;
    bool accepted = false;
};
