// The alignment's option lines and their effect through the plug-in's code.
#include "host/align/AlignLines.h"

#include "device/PluginOptions.h"
#include "tracker/PoseTransform.h"

#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

// Six decimals, without a minus sign on a value that shows as zero.
void put(std::ostream& out, double value) {
    out << ' ' << std::fixed << std::setprecision(6) << (std::fabs(value) < 5e-7 ? 0.0 : value);
}

std::string rotationLine(OptionTopic topic, const Rotation3& rotation, int trackerId) {
    Vector3 axis;
    double degrees = 0.0;
    rotationAxisAngle(rotation, axis, degrees);
    std::ostringstream line;
    line << pluginOption(topic).name();
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
    return {rotationLine(OptionTopic::transmitterRotation, fit.transmitter, 0),
            rotationLine(OptionTopic::sensorRotation, fit.sensor, alignTrackerId)};
}

void placedPosition(const std::vector<std::string>& lines, const float position[3],
                    float placed[3]) {
    TrackerPose pose{};
    pose.x = position[0];
    pose.y = position[1];
    pose.z = position[2];
    pose = LineTransforms(lines).apply(pose);
    placed[0] = pose.x;
    placed[1] = pose.y;
    placed[2] = pose.z;
}

bool keptPosition(const std::vector<std::string>& lines, const float position[3],
                  const float now[3], double kept[3], float turned[3]) {
    placedPosition(lines, position, turned);
    // The rotation block's transpose turns it back: the plug-in moves the position
    // by the block alone, as no offset line is among `lines`.
    const LineTransforms transforms(lines);
    const Matrix4& m = transforms.transmitter();
    bool moved = false;
    for (int c = 0; c < 3; ++c) {
        kept[c] = m.m[4 * c] * static_cast<double>(now[0]) +
                  m.m[4 * c + 1] * static_cast<double>(now[1]) +
                  m.m[4 * c + 2] * static_cast<double>(now[2]);
        moved = moved || std::fabs(turned[c] - now[c]) >= 1e-5;
    }
    return moved;
}

std::string positionLine(const double position[3]) {
    std::ostringstream line;
    line << pluginOption(OptionTopic::position).name();
    for (int i = 0; i < 3; ++i) {
        put(line, position[i]);
    }
    return line.str();
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
