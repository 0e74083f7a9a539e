// Failed calls, absent ports and pulled cables of the simulated sensor library.
#include "sim/FaultInjection.h"

void FaultInjection::failCall(std::int32_t call, std::int32_t times) {
    if (validCall(call)) {
        failuresLeft[call] = times < 0 ? -1 : times;
    }
}

std::int32_t FaultInjection::callCount(std::int32_t call) const {
    return validCall(call) ? calls[call] : 0;
}

bool FaultInjection::injectedFailure(BirdSimCall call) {
    ++calls[call];
    std::int32_t& left = failuresLeft[call];
    if (left == 0) {
        return false;
    }
    if (left > 0) {
        --left;
    }
    return true;
}

void FaultInjection::setPortPresent(std::uint16_t port, bool present) {
    if (validPort(port)) {
        portAbsent[port] = !present;
    }
}

void FaultInjection::failConfigRead(std::uint16_t port, bool fails) {
    if (validPort(port)) {
        noConfig[port] = fails;
    }
}

bool FaultInjection::unplug(std::uint16_t port) {
    if (!validPort(port)) {
        return false;
    }
    unplugged[port] = true;
    return true;
}

void FaultInjection::replug(std::uint16_t port) {
    if (validPort(port)) {
        unplugged[port] = false;
    }
}

bool FaultInjection::portAnswers(std::uint16_t port) const {
    return validPort(port) && !portAbsent[port] && !unplugged[port];
}
