// What a host sets up around a device: storage, option lines, ready flag, init record.
#pragma once

#include <cstdint>
#include <string>

#include "device/CBase.h"
#include "host/HostConfig.h"
#include "host/HostStorage.h"
#include "support/TraData.h"

struct TestHost {
    TestHost() : storageLogger(makeStorageLogger()), storage(&storageLogger) {}

    InitInfo initInfo() {
        InitInfo info{};
        info.dataStorage = storage.storage();
        info.readyFlag = &ready;
        return info;
    }

    static CLoggerH makeStorageLogger();

    CLoggerH storageLogger;
    HostStorage storage;
    std::int32_t ready = 1;
};

// The host value of a record's fixed-point or integer field.
std::int32_t hostValue(std::int32_t field);
std::uint32_t hostValue(std::uint32_t field);
// A record field (network order) holding a host value.
std::int32_t netValue(std::int32_t value);
// The four bytes of a field as they lie in the record, as "FF F7 41 E3".
std::string fieldBytes(std::int32_t field);
// The four mask bytes as "00 00 01 00".
std::string maskBytes(const std::uint8_t* mask);
