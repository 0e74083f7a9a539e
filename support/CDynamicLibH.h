// A dynamic library loaded at run time, with a per-slot cache of its procedures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CLoggerH.h"

class CDynamicLibH {
public:
    // Loads `libraryName` at once when it is not null; the object exists either way.
    CDynamicLibH(const char* libraryName, const CLoggerH* logger);
    virtual ~CDynamicLibH();

    CDynamicLibH(const CDynamicLibH&) = delete;
    CDynamicLibH& operator=(const CDynamicLibH&) = delete;

    // True when this call loaded the library; a loaded library stays as it is.
    bool load(const char* libraryName);
    // Releases the library and forgets every cached address; always true.
    bool unload();
    void* getProcAddr(const char* procName);
    // Asks the system at most once per slot while the library stays loaded; a
    // failed lookup is remembered.
    void* getProcAddrCached(const char* procName, std::uint32_t slot);

    bool isLoaded() const { return module != nullptr; }
    std::size_t cachedSlots() const { return procCache.size(); }
    CLoggerH& log() const { return *logger; }

private:
    struct CachedProc {
        void* proc = nullptr;
        std::uint32_t lookedUp = 0;
    };

    void* module = nullptr;
    std::vector<CachedProc> procCache;
    std::unique_ptr<CLoggerH> logger; // own copy, debug class 3
};
