// What --align tells the user on standard error: the prompt of each step, each pose
// as it is held still, the rotation lines the run reads without, why poses gave no
// rotations, and the check of the lines found.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/align/AlignProcedure.h"

// "align [NAME] step N of 3: PROMPT" for `step` (0 to 2).
void tellStep(const std::string& name, int step, std::ostream& err);
// The pose of `step` (0 to 2) as the procedure captured it, then the next step's prompt.
void tellCaptured(const AlignProcedure& procedure, int step, const std::string& name,
                  std::ostream& err);
// Why the procedure ended before its third pose.
enum class AlignEnding {
    outOfTime,      // the time limit came first
    interrupted,    // the run was stopped
    recordingEnded, // the replayed recording ran out
};
void tellUnfinished(const AlignProcedure& procedure, AlignEnding ending, std::ostream& err);
// The rotation lines of section `name` that the run reads without.
void tellDropped(const std::string& configFile, const std::string& name,
                 const std::vector<std::uint32_t>& dropped, std::ostream& err);
// That the transmitter rotation turns the fixed position of `configFile`:`line`
// from `position` to `turned`, and the position line printed keeps the records where
// they were.
void tellPositionKept(const std::string& configFile, std::uint32_t line, const float position[3],
                      const float turned[3], std::ostream& err);
// Why the poses gave no rotations, with what to do instead.
void tellProblem(const AlignFit& fit, std::ostream& err);
// The captured poses through the plug-in's reader and transforms with `lines`, and
// the turn and tilt axes' distance from perpendicular.
void tellCheck(const AlignProcedure& procedure, const std::vector<std::string>& lines,
               std::ostream& err);
