// trackhost --align: one section's sensor, read without the section's rotation
// lines, is held still at the front, turned left and tilted up as the prompts say;
// the section's transmitterrotation and sensorrotation lines follow from the poses.
#pragma once

#include <iosfwd>

#include "host/HostOptions.h"
#include "host/output/PoseOutput.h"

// Runs the alignment and answers trackhost's exit code. The option lines (the two
// rotations, and a position that keeps a fixed one where it was) go to `output` and
// nothing else does; the prompts, the check of the result and every
// message go to `err`.
int runAlign(const HostOptions& options, PoseOutput& output, std::ostream& err);
