// Calibration library handle.
#include "CCalibH.h"

#include "TrackerPose.h"

namespace {

enum Slot : std::uint32_t { initSlot = 0, evaluateSlot = 1, exitSlot = 3 };

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

bool CCalibH::init(const char* const* texts, std::uint32_t count) {
    log().debug("CCalibH: \"init\" called.");
    const auto calibInit = asFunction<CalibInitFn>(getProcAddrCached("calib_init", initSlot));
    const std::uint32_t kept = count < maxArgs ? count : static_cast<std::uint32_t>(maxArgs);
    args.assign(texts, texts + kept);
    argPointers.clear();
    for (const std::string& arg : args) {
        argPointers.push_back(arg.c_str());
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

bool CCalibH::exit() {
    log().debug("CCalibH: \"exit\" called.");
    const auto calibExit = asFunction<CalibExitFn>(getProcAddrCached("calib_exit", exitSlot));
    argPointers.clear();
    args.clear();
    if (calibExit == nullptr) {
        log().debug("CCalibH: could not call \"calib_exit\".");
        return false;
    }
    calibExit(context);
    log().debug("CCalibH: \"calib_exit\" called.");
    return true;
}
