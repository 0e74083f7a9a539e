// What a host sets up around its devices, as a tracking server does: the data
// storage with its mutex and loggers, the ready flag the devices read, and the init
// record that hands both to a device.
#pragma once

#include <cstdint>
#include <string>

#include "device/CBase.h"
#include "host/plugin/HostStorage.h"
#include "host/run/RunSettings.h"
#include "support/CLoggerH.h"

struct HostRig {
    // The storage's messages go through `storageLogger`; `ready` is the flag's
    // value until the host sets it (devices deliver only while it is 1).
    explicit HostRig(const CLoggerH& storageLogger, std::int32_t ready = 0);

    HostRig(const HostRig&) = delete;
    HostRig& operator=(const HostRig&) = delete;

    // The record init is given: this rig's storage and ready flag.
    InitInfo initInfo();

    CLoggerH storageLogger;
    HostStorage storage;
    std::int32_t ready;
};

// The logger record trackhost hands to the device of a section named `name`.
CLoggerH makeLogger(const LogSettings& settings, const std::string& name);
