// The exported factory and its counterpart.
#include "PluginEntry.h"

#include "C3DBird.h"

CBase* createDev(CConfigH* config, const CLoggerH* logger) {
    return new C3DBird(config, logger);
}

bool deleteDev(CBase* device) {
    if (device == nullptr) {
        return false;
    }
    // Every device this library makes is a C3DBird; the interface has no virtual destructor.
    delete static_cast<C3DBird*>(device);
    return true;
}
