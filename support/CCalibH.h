// A user's calibration library: loads it and calls its three entry points, which
// tracker_calibration.h declares.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tracker_calibration.h>

#include "CDynamicLibH.h"

struct TrackerPose;

class CCalibH : public CDynamicLibH {
public:
    static constexpr std::size_t maxArgs = 10;

    CCalibH(const char* libraryName, const CLoggerH* logger);
    ~CCalibH() override;

    // Hands the arguments (at most maxArgs of them) to calib_init; false when it is
    // missing. The texts are the owner's and must stay as they are until exit().
    bool init(const std::vector<std::string>& args);
    // Hands the pose to calib_evaluate; false when it is missing.
    bool evaluate(TrackerPose* pose);
    // Hands the pose and the reading's time (seconds on a steady clock) to the
    // optional calib_evaluate_at, or, when the library does not export it, the pose
    // alone to calib_evaluate; false when both are missing.
    bool evaluateAt(TrackerPose* pose, double seconds);
    // Lets go of the arguments and calls calib_exit; false when it is missing.
    bool exit();

    std::int32_t contextValue() const { return context; }
    std::size_t argumentCount() const { return argPointers.size(); }

private:
    std::int32_t context = 0;
    std::vector<const char*> argPointers; // the texts handed to calib_init
};
