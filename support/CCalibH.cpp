// Calibration library handle.
#include "CCalibH.h"

#include "TrackerPose.h"

namespace {

enum Slot : std::uint32_t { initSlot = 0, evaluateSlot = 1, exitSlot = 3, evaluateAtSlot = 4 };

template <typename Function> Function asFunction(void* address) {
    return reinterpret_cast<Function>(address);
}

} // namespace

CCalibH::CCalibH(const char* libraryName, const CLoggerH* logger)
    : CDynamicLibH(libraryName, logger) {
    if (logger == nullptr) {
        log().setName("CCalibH");
    }
    log().debug("CCalibH: \"init\" called.");
}

CCalibH::~CCalibH() {
    log().debug("CCalibH: \"destructor\" called.");
}

bool CCalibH::init(const std::vector<std::string>& args) {
    log().debug("CCalibH: \"init\" called.");
    const auto calibInit = asFunction<CalibInitFn>(getProcAddrCached("calib_init", initSlot));
    argPointers.clear();
    for (std::size_t i = 0; i < args.size() && i < maxArgs; ++i) {
        argPointers.push_back(args[i].c_str());
    }
    if (calibInit == nullptr) {
        log().debug("CCalibH: could not call \"calib_init\".");
        return false;
    }
    context = calibInit(argPointers.data(), static_cast<std::int32_t>(argPointers.size()));
    log().debug("CCalibH: \"calib_init\" called.");
    return true;
}

bool CCalibH::evaluate(TrackerPose* pose) {
    const auto calibEvaluate =
        asFunction<CalibEvaluateFn>(getProcAddrCached("calib_evaluate", evaluateSlot));
    if (calibEvaluate == nullptr) {
        return false;
    }
    calibEvaluate(context, &pose->x);
    return true;
}

bool CCalibH::evaluateAt(TrackerPose* pose, double seconds) {
    const auto calibEvaluateAt =
        asFunction<CalibEvaluateAtFn>(getProcAddrCached("calib_evaluate_at", evaluateAtSlot));
    if (calibEvaluateAt == nullptr) {
        return evaluate(pose);
    }
    calibEvaluateAt(context, &pose->x, seconds);
    return true;
}

bool CCalibH::exit() {
    log().debug("CCalibH: \"exit\" called.");
    const auto calibExit = asFunction<CalibExitFn>(getProcAddrCached("calib_exit", exitSlot));
    std::vector<const char*>().swap(argPointers);
    if (calibExit == nullptr) {
        log().debug("CCalibH: could not call \"calib_exit\".");
        return false;
    }
    calibExit(context);
    log().debug("CCalibH: \"calib_exit\" called.");
    return true;
}
