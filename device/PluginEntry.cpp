// The exported factory and its counterpart.
#include "PluginEntry.h"

#include "GuardedDevice.h"

#include <new>

CBase* createDev(CConfigH* config, const CLoggerH* logger) {
    try {
        if (CBase* device = new (std::nothrow) GuardedDevice(config, logger)) {
            return device;
        }
    } catch (...) {
        // Only the device's own logger is allocated while it is made.
    }
    // The line goes out on a logger on the stack, as the device would have written it.
    CLoggerH own = logger != nullptr ? *logger : CLoggerH();
    if (logger == nullptr) {
        own.setName("C3DBird");
    }
    own.setDebugClass(1);
    reportOutOfMemory(own, "createDev");
    return nullptr;
}

bool deleteDev(CBase* device) {
    if (device == nullptr) {
        return false;
    }
    // Every device this library makes is a GuardedDevice; the interface has no
    // virtual destructor.
    delete static_cast<GuardedDevice*>(device);
    return true;
}
