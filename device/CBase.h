// The abstract device interface the host drives, and the records it hands to init.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/CLoggerH.h"

struct CDataStorage;

// The host's init record, 48 bytes; the device reads the storage and the ready flag.
struct InitInfo {
    CDataStorage* dataStorage;
    std::uint32_t hostWords[10]; // copied, not read
    std::int32_t* readyFlag;     // recvData delivers only while the flag is nonzero
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(InitInfo) == 48 && offsetof(InitInfo, readyFlag) == 44,
              "InitInfo is a 48-byte host record");
#endif

// Seven operations in slot order and nothing else in the table: there is no
// virtual destructor, so whoever destroys a device must know its class.
class CBase {
public:
    virtual std::int32_t init(const InitInfo* info) = 0;
    virtual bool start() = 0;
    virtual std::int32_t configure() = 0;
    virtual bool stop() = 0;
    virtual bool printInfo() = 0;
    // `updateMask` is the caller's four-byte UpdateMask; `unused` is the host's.
    virtual std::int32_t recvData(std::uint8_t* updateMask, std::int32_t unused) = 0;
    virtual std::int32_t sendData(std::int32_t unused1, std::int32_t unused2) = 0;

    CBase(const CBase&) = delete;
    CBase& operator=(const CBase&) = delete;

protected:
    // Copies the host's logger record, or makes a default one named "CBase".
    explicit CBase(const CLoggerH* hostLogger);
    ~CBase();

    std::uint32_t unnamed1 = 0;
    bool ownsLogger = true;
    std::uint32_t unnamed2; // neither the base nor the device touches it
    CLoggerH* logger;       // the device's own copy; owned while ownsLogger
    bool inputConnector = true;
    std::int32_t typeCode = 1;

    friend struct CBaseLayout;
};
