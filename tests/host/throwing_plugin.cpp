// A plug-in that breaks the rule that nothing is thrown into the host: its
// createDev throws as when memory runs out, so that trackhost's last guard shows.
#include "device/PluginEntry.h"

#include <new>

CBase* createDev(CConfigH*, const CLoggerH*) {
    throw std::bad_alloc();
}

bool deleteDev(CBase*) {
    return false;
}
