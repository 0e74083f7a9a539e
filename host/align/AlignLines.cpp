// The alignment's option lines and their effect through the plug-in's code.
#include "host/align/AlignLines.h"

#include "tracker/PoseTransform.h"

#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

// Six decimals, without a minus sign on a value that shows as zero.
void put(std::ostream& out, double value) {
    out << ' ' << std::fixed << std::setprecision(6) << (std::fabs(value) < 5e-7 ? 0.0 : value);
}

std::string rotationLine(const char* keyword, const Rotation3& rotation, int trackerId) {
    Vector3 axis;
    double degrees = 0.0;
    rotationAxisAngle(rotation, axis, degrees);
    std::ostringstream line;
    line << keyword;
    if (trackerId != 0) {
        line << ' ' << trackerId;
    }
    for (const double value : {axis[0], axis[1], axis[2], degrees}) {
        put(line, value);
    }
    return line.str();
}

} // namespace

std::vector<std::string> alignLines(const AlignFit& fit) {
    return {rotationLine("transmitterrotation", fit.transmitter, 0),
            rotationLine("sensorrotation", fit.sensor, alignTrackerId)};
}

LineTransforms::LineTransforms(const std::vector<std::string>& lines) {
    logger.enabled = 0;
    std::uint32_t number = 0;
    for (const std::string& line : lines) {
        std::istringstream words(line);
        std::string keyword;
        std::vector<std::string> args;
        words >> keyword;
        for (std::string word; words >> word;) {
            args.push_back(word);
        }
        config.add(keyword, args, ++number);
    }
    // A device's table, as init sets it up.
    table = std::make_unique<CTraCommonH>(&logger, TrackerTableSetup{true, 1, true});
    table->createEntries(1);
    table->setEntry(1, 1, nullptr, nullptr, nullptr);
    std::vector<OptionProblem> problems;
    accepted = table->parseOptions(config.record(), &problems) && problems.empty();
}

LineTransforms::~LineTransforms() = default;

TrackerPose LineTransforms::apply(TrackerPose pose) const {
    const TrackerEntry& entry = table->entry(1);
    transformPose(pose, &table->transmitterTransform(), &entry.transform, entry.translation);
    return pose;
}
