// The device as the host holds it: nothing thrown crosses into the host.
#pragma once

#include <cstdint>

#include "C3DBird.h"

// The ERROR line of an operation that ran out of memory.
void reportOutOfMemory(const CLoggerH& logger, const char* operation) noexcept;
// Logs the exception being handled as the failure of `operation` (an allocation
// failure as such); to be called in a catch block only.
void reportFailure(const CLoggerH& logger, const char* operation) noexcept;

// A C3DBird whose operations answer with their failure result, after an ERROR
// line, where the device would throw: the device's own code throws nothing, but
// the standard library under it throws when memory runs out or a lock cannot be
// had. It adds nothing to the device's layout.
class GuardedDevice final : public C3DBird {
public:
    using C3DBird::C3DBird;

    std::int32_t init(const InitInfo* info) override;
    bool start() override;
    std::int32_t configure() override;
    bool stop() override;
    bool printInfo() override;
    std::int32_t recvData(std::uint8_t* updateMask, std::int32_t unused) override;
    std::int32_t sendData(std::int32_t unused1, std::int32_t unused2) override;

private:
    template <typename Result, typename Operation>
    Result guarded(const char* name, Result failure, Operation operation) noexcept {
        try {
            return operation();
        } catch (...) {
            reportFailure(log(), name);
            return failure;
        }
    }
};
