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

// Where a device with the option `lines` puts the records of the fixed `position`
// (feet).
void placedPosition(const std::vector<std::string>& lines, const float position[3],
                    float placed[3]);
// The fixed position a section needs with the rotation `lines` for its records to
// stay at `now` (feet), where its current lines put them: the transmitter rotation
// turns a fixed position too. False when the lines with `position` keep them there
// anyway, to the record's 0.00001 feet. `turned`: where `position` with the lines
// would put them.
bool keptPosition(const std::vector<std::string>& lines, const float position[3],
                  const float now[3], double kept[3], float turned[3]);
// "position X Y Z" in feet, six decimals each.
std::string positionLine(const double position[3]);

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
    // The transmitter transform the plug-in made of the lines.
    const Matrix4& transmitter() const { return table->transmitterTransform(); }

private:
    CLoggerH logger;
    HostConfig config;
    std::unique_ptr<CTraCommonH> table;
    bool accepted = false;
};
