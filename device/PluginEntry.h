// The plug-in's two exported functions, resolved by the host by name.
#pragma once

#include "CBase.h"
#include "platform/export.h"

struct CConfigH;

extern "C" {
// Makes one device on the host's option record; `logger` may be null. Null, after
// an ERROR line, when memory runs out.
TRACKER_EXPORT CBase* createDev(CConfigH* config, const CLoggerH* logger);
// Destroys a device made by createDev; false for null.
TRACKER_EXPORT bool deleteDev(CBase* device);
}

using CreateDevFn = CBase* (*)(CConfigH*, const CLoggerH*);
using DeleteDevFn = bool (*)(CBase*);
