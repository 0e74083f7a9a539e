// Host-side data storage.
#include "host/plugin/HostStorage.h"

#include "platform/platform.h"

#include <cstring>
#include <stdexcept>

HostStorage::HostStorage(const CLoggerH* logger) {
    if (logger != nullptr) {
        storageLogger = *logger;
        mutexLogger = *logger;
    } else {
        storageLogger.setName("CDataStorage");
        mutexLogger.setName("CMutexH");
    }
    for (TraData& slot : slots) {
        std::memset(static_cast<void*>(&slot), 0, sizeof slot);
    }
    mutexRecord.handle = platform::createMutex();
    if (mutexRecord.handle == nullptr) {
        throw std::runtime_error("cannot create the storage's mutex");
    }
    mutexRecord.logger = &mutexLogger;
    dataStorage.traData = slots.data();
    dataStorage.logger = &storageLogger;
    dataStorage.mutex = &mutexRecord;
    dataStorage.numOfData = &numOfData;
}

HostStorage::~HostStorage() {
    platform::destroyMutex(mutexRecord.handle);
}

bool HostStorage::readSlot(std::uint32_t id, TraData& record) {
    dataStorage.lock();
    const TraData* slot = dataStorage.getTraData(id);
    if (slot != nullptr) {
        record = *slot;
    }
    dataStorage.unlock();
    return slot != nullptr;
}
