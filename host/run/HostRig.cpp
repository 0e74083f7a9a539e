// The storage, ready flag and init record of a host, and the loggers it hands out.
#include "host/run/HostRig.h"

HostRig::HostRig(const CLoggerH& storageLogger, std::int32_t ready)
    : storageLogger(storageLogger), storage(&this->storageLogger), ready(ready) {}

InitInfo HostRig::initInfo() {
    InitInfo info{};
    info.dataStorage = storage.storage();
    info.readyFlag = &ready;
    return info;
}

CLoggerH makeLogger(const LogSettings& settings, const std::string& name) {
    CLoggerH logger;
    logger.setName(name.c_str());
    logger.dateOn = settings.date ? 1 : 0;
    logger.timeOn = settings.time ? 1 : 0;
    logger.threadIdOn = settings.threadId ? 1 : 0;
    logger.enabled = settings.quiet ? 0 : 1;
    logger.debugLevel = settings.debugLevel;
    logger.debugThreshold = settings.debugThreshold;
    return logger;
}
