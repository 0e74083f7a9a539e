// The host's tracker record storage: one 56-byte slot per tracker ID.
#pragma once

#include <cstddef>
#include <cstdint>

struct CLoggerH;
struct CMutexH;
struct TraData;

// Host-owned; the plug-in works on it in place.
struct CDataStorage {
    static constexpr std::uint32_t maxRecords = 32;

    std::uint8_t host0[4];
    TraData* traData;                  // slot k holds tracker ID k + 1; null until created
    std::uintptr_t controllerDataList; // nonzero while the host has one
    CLoggerH* logger;
    std::uint8_t host1[4];
    CMutexH* mutex;
    std::uint8_t host2[8];
    std::uint32_t* numOfData; // number of slots in use

    // Sets the record count; the caller holds the lock.
    bool setNumOfData(std::uint32_t n);
    // The slot of tracker ID `id` (from 1), or null.
    TraData* getTraData(std::uint32_t id) const;
    std::uint32_t getNumOfData() const;
    // False also when no mutex has been set up.
    bool lock();
    bool unlock();
};

// Holds a storage's lock for a scope. The mutex reports its own failures with the
// system's text, and a storage without a mutex is reported here. An abandoned mutex
// is owned all the same, so the holder goes on; the release follows in any case.
class StorageLock {
public:
    explicit StorageLock(CDataStorage& storage) : storage(storage) {
        if (storage.mutex != nullptr) {
            storage.lock();
        } else {
            reportNoMutex();
        }
    }
    ~StorageLock() {
        if (storage.mutex != nullptr) {
            storage.unlock();
        }
    }
    StorageLock(const StorageLock&) = delete;
    StorageLock& operator=(const StorageLock&) = delete;

private:
    void reportNoMutex() const;

    CDataStorage& storage;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(CDataStorage, traData) == 4 &&
                  offsetof(CDataStorage, controllerDataList) == 8 &&
                  offsetof(CDataStorage, logger) == 12 && offsetof(CDataStorage, mutex) == 20 &&
                  offsetof(CDataStorage, numOfData) == 32 && sizeof(CDataStorage) == 36,
              "CDataStorage field offsets");
#endif
