// Dynamic library handle: load, unload and cached procedure lookup.
#include "CDynamicLibH.h"

#include "platform/platform.h"

CDynamicLibH::CDynamicLibH(const char* libraryName, const CLoggerH* hostLogger)
    : logger(makeOwnLogger(hostLogger, "CDynamicLibH", 3)) {
    logger->debug("CDynamicLibH: \"constructor\" called.");
    logger->debug("CDynamicLibH: \"init\" called.");
    if (libraryName != nullptr) {
        load(libraryName);
    }
}

CDynamicLibH::~CDynamicLibH() {
    logger->debug("CDynamicLibH: \"destructor\" called.");
    unload();
}

bool CDynamicLibH::load(const char* libraryName) {
    logger->debug("CDynamicLibH: \"load\" called.");
    if (libraryName == nullptr || *libraryName == '\0') {
        logger->error("CDynamicLibH: Library name is empty.");
        return false;
    }
    if (module != nullptr) {
        return false;
    }
    module = platform::loadLibrary(libraryName);
    if (module == nullptr) {
        logger->error("CDynamicLibH: Can not load the library ") << libraryName;
        return false;
    }
    logger->debug("CDynamicLibH: ") << libraryName << " library loaded.";
    return true;
}

bool CDynamicLibH::unload() {
    logger->debug("CDynamicLibH: \"unload\" called.");
    if (module != nullptr) {
        platform::freeLibrary(module);
    }
    module = nullptr;
    std::vector<CachedProc>().swap(procCache);
    return true;
}

void* CDynamicLibH::getProcAddr(const char* procName) {
    logger->debug("CDynamicLibH: \"getProcAddr\" called.");
    if (module == nullptr) {
        logger->error("CDynamicLibH: Library has not been loaded.");
        return nullptr;
    }
    return platform::librarySymbol(module, procName);
}

void* CDynamicLibH::getProcAddrCached(const char* procName, std::uint32_t slot) {
    logger->debug("CDynamicLibH: \"getProcAddrCached\" called.");
    if (module == nullptr) {
        logger->error("CDynamicLibH: Library has not been loaded.");
        return nullptr;
    }
    if (slot >= procCache.size()) {
        procCache.resize(slot + std::size_t{1});
    }
    CachedProc& entry = procCache[slot];
    if (entry.proc == nullptr && entry.lookedUp == 0) {
        entry.lookedUp = 1;
        entry.proc = getProcAddr(procName);
    }
    return entry.proc;
}
