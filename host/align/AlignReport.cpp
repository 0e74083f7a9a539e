// --align's prompts, poses and verdicts in words.
#include "host/align/AlignReport.h"

#include "host/align/AlignLines.h"
#include "host/report/HostMessage.h"
#include "host/report/ShownText.h"

#include <cmath>
#include <iomanip>
#include <ostream>

namespace {

// Axes further than this from perpendicular mean the poses were not the ones asked for.
constexpr double residualWarning = 5.0;

const char* const prompts[3] = {
    "hold the tracked object level, facing the front wall (-Z), and keep it still",
    "turn it left about the vertical by 45 to 120 degrees and keep it still",
    "bring it back to the front, tilt it nose up by 30 to 80 degrees and keep it still",
};
const char* const poseNames[3] = {"front", "left", "up"};

void putAngles(std::ostream& err, const double angles[3]) {
    err << std::fixed << std::setprecision(3);
    for (int i = 0; i < 3; ++i) {
        err << std::setw(9) << (std::fabs(angles[i]) < 5e-4 ? 0.0 : angles[i]);
    }
}

} // namespace

void tellStep(const std::string& name, int step, std::ostream& err) {
    hostMessage(err) << "align [" << shownText(name) << "] step " << step + 1
                     << " of 3: " << prompts[step] << std::endl;
}

void tellCaptured(const AlignProcedure& procedure, int step, const std::string& name,
                  std::ostream& err) {
    double angles[3];
    poseAngles(procedure.pose(static_cast<AlignProcedure::Step>(step)), angles);
    hostMessage(err) << "the " << poseNames[step] << " pose, held still:";
    putAngles(err, angles);
    err << std::endl;
    tellStep(name, step + 1, err);
}

void tellUnfinished(const AlignProcedure& procedure, AlignEnding ending, std::ostream& err) {
    const auto step = static_cast<int>(procedure.step());
    const std::string at = " at step " + std::to_string(step + 1) + " (" + poseNames[step] + ")";
    switch (ending) {
    case AlignEnding::interrupted:
        hostMessage(err) << "--align: interrupted" << at << std::endl;
        break;
    case AlignEnding::recordingEnded:
        // More time cannot help: the readings of the step are not in the recording.
        hostMessage(err) << "--align: the recording ended" << at
                         << ", before a still pose came; replay a recording that holds all "
                            "three poses"
                         << std::endl;
        break;
    case AlignEnding::outOfTime:
        hostMessage(err) << "--align: no still pose came in time" << at
                         << "; hold the object still for a second at each step, or give it "
                            "more --seconds"
                         << std::endl;
        break;
    }
}

void tellDropped(const std::string& configFile, const std::string& name,
                 const std::vector<std::uint32_t>& dropped, std::ostream& err) {
    if (dropped.empty()) {
        return;
    }
    hostMessage(err) << "--align reads [" << shownText(name) << "] without its rotation line";
    err << (dropped.size() > 1 ? "s" : "");
    for (std::size_t i = 0; i < dropped.size(); ++i) {
        err << (i == 0 ? " " : ", ") << shownText(configFile) << ":" << dropped[i];
    }
    err << std::endl;
}

void tellPositionKept(const std::string& configFile, std::uint32_t line, const float position[3],
                      const float turned[3], std::ostream& err) {
    // Feet to five decimals, as the records show them; no minus sign on a zero.
    const auto put = [&err](const float values[3]) {
        for (int i = 0; i < 3; ++i) {
            err << (i == 0 ? "" : " ") << (std::fabs(values[i]) < 5e-6f ? 0.0f : values[i]);
        }
    };
    hostMessage(err) << std::fixed << std::setprecision(5) << "transmitterrotation turns the fixed "
                     << "position of " << shownText(configFile) << ":" << line << " too, from ";
    put(position);
    err << " to ";
    put(turned);
    err << "; the position line printed after it keeps the records where they were" << std::endl;
}

// Why the poses gave no rotations, with what to do instead.
void tellProblem(const AlignFit& fit, std::ostream& err) {
    hostMessage(err) << std::fixed << std::setprecision(1) << "--align: ";
    switch (fit.problem) {
    case AlignProblem::smallTurn:
        err << "the turn was " << fit.turn << " degrees, less than "
            << static_cast<int>(alignMinimumTurn) << "; turn the object left by 45 to 120 degrees";
        break;
    case AlignProblem::tiltAboutTurnAxis:
        err << "the tilt turned about an axis " << fit.axisSeparation
            << " degrees from the turn's: the object was turned, not tilted; tilt it nose up "
               "by 30 to 80 degrees";
        break;
    case AlignProblem::smallTilt:
        err << "the tilt was " << fit.tilt << " degrees, less than "
            << static_cast<int>(alignMinimumTilt)
            << "; tilt the object nose up by 30 to 80 degrees";
        break;
    case AlignProblem::none:
        break;
    }
    err << std::endl;
}

// The captured poses through the plug-in's reader and transforms with the lines.
void tellCheck(const AlignProcedure& procedure, const std::vector<std::string>& lines,
               std::ostream& err) {
    const LineTransforms transforms(lines);
    const AlignFit& fit = procedure.fit();
    const double expected[3][3] = {{0, 0, 0}, {fit.turn, 0, 0}, {0, fit.tilt, 0}};
    hostMessage(err) << "check: the three poses through these lines (angle1 angle2 angle3)"
                     << std::endl;
    for (int step = 0; step < 3; ++step) {
        double angles[3];
        poseAngles(procedure.pose(static_cast<AlignProcedure::Step>(step)), angles);
        TrackerPose pose{};
        pose.angle1 = static_cast<float>(angles[0]);
        pose.angle2 = static_cast<float>(angles[1]);
        pose.angle3 = static_cast<float>(angles[2]);
        pose = transforms.apply(pose);
        const double aligned[3] = {pose.angle1, pose.angle2, pose.angle3};
        hostMessage(err) << "  " << std::left << std::setw(5) << poseNames[step] << std::right;
        putAngles(err, aligned);
        err << "   expected";
        putAngles(err, expected[step]);
        err << std::endl;
    }
    hostMessage(err) << std::setprecision(3) << "residual: the turn and tilt axes were "
                     << fit.residual << " degrees from perpendicular" << std::endl;
    if (fit.residual > residualWarning) {
        hostMessage(err)
            << "warning: the axes should be perpendicular: the object was not "
               "turned and tilted as asked, and the lines may be off; run --align again"
            << std::endl;
    }
}
