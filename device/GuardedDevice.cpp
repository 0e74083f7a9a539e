// The device's operations behind a guard against exceptions.
#include "GuardedDevice.h"

#include <exception>
#include <new>

void reportOutOfMemory(const CLoggerH& logger, const char* operation) noexcept {
    logger.error("C3DBird: Out of memory in \"") << operation << "\".";
}

void reportFailure(const CLoggerH& logger, const char* operation) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(logger, operation);
    } catch (const std::exception& error) {
        // GCOVR_EXCL_START: the device's code and the standard library calls it makes
        // throw nothing but bad_alloc; these two stand guard should that ever change.
        logger.error("C3DBird: \"") << operation << "\" failed: " << error.what();
    } catch (...) {
        logger.error("C3DBird: \"") << operation << "\" failed.";
        // GCOVR_EXCL_STOP
    }
}

std::int32_t GuardedDevice::init(const InitInfo* info) {
    return guarded("init", -1, [&] { return C3DBird::init(info); });
}

bool GuardedDevice::start() {
    return guarded("start", false, [&] { return C3DBird::start(); });
}

std::int32_t GuardedDevice::configure() {
    return guarded("configure", -1, [&] { return C3DBird::configure(); });
}

bool GuardedDevice::stop() {
    return guarded("stop", false, [&] { return C3DBird::stop(); });
}

bool GuardedDevice::printInfo() {
    return guarded("printInfo", false, [&] { return C3DBird::printInfo(); });
}

std::int32_t GuardedDevice::recvData(std::uint8_t* updateMask, std::int32_t unused) {
    return guarded("recvData", -1, [&] { return C3DBird::recvData(updateMask, unused); });
}

std::int32_t GuardedDevice::sendData(std::int32_t unused1, std::int32_t unused2) {
    return guarded("sendData", -1, [&] { return C3DBird::sendData(unused1, unused2); });
}
