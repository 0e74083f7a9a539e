// Host-side data storage: owns a CDataStorage with its 32-slot array, count,
// mutex and loggers, as a tracking server would set them up.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "support/CDataStorage.h"
#include "support/CLoggerH.h"
#include "support/CMutexH.h"
#include "support/TraData.h"

class HostStorage {
public:
    // Throws std::runtime_error when the system gives no mutex.
    explicit HostStorage(const CLoggerH* logger = nullptr);
    ~HostStorage();

    HostStorage(const HostStorage&) = delete;
    HostStorage& operator=(const HostStorage&) = delete;

    CDataStorage* storage() { return &dataStorage; }
    CMutexH* mutex() { return &mutexRecord; }
    std::uint32_t count() const { return numOfData; }
    // Copies the slot of tracker ID `id` under the lock; false when there is none.
    bool readSlot(std::uint32_t id, TraData& record);

private:
    CLoggerH storageLogger;
    CLoggerH mutexLogger;
    std::array<TraData, CDataStorage::maxRecords> slots{};
    std::uint32_t numOfData = 0;
    CMutexH mutexRecord{};
    CDataStorage dataStorage{};
};
