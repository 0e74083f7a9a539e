// The device base: logger copy and the fields shared with the host.
#include "CBase.h"

// The host reads these fields at fixed offsets behind the table pointer.
struct CBaseLayout {
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    static_assert(offsetof(CBase, unnamed1) == 4 && offsetof(CBase, ownsLogger) == 8 &&
                      offsetof(CBase, unnamed2) == 12 && offsetof(CBase, logger) == 16 &&
                      offsetof(CBase, inputConnector) == 20 && offsetof(CBase, typeCode) == 24 &&
                      sizeof(CBase) == 28,
                  "CBase field offsets");
#pragma GCC diagnostic pop
#endif
};

// The host's layout holds the logger as a plain pointer; ownsLogger says it is ours.
CBase::CBase(const CLoggerH* hostLogger)
    : logger(makeOwnLogger(hostLogger, "CBase", 1).release()) {}

CBase::~CBase() {
    if (ownsLogger) {
        delete logger;
    }
}
