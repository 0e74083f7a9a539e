// Data storage operations on the host's record.
#include "CDataStorage.h"

#include "CLoggerH.h"
#include "CMutexH.h"
#include "TraData.h"

namespace {

bool refuse(const CLoggerH* logger, const char* message) {
    if (logger != nullptr) {
        logger->error(message);
    }
    return false;
}

} // namespace

bool CDataStorage::setNumOfData(std::uint32_t n) {
    if (n > maxRecords) {
        return refuse(logger, "CDataStorage: The new number is too big.");
    }
    if (controllerDataList != 0) {
        return refuse(logger, "Delete controller data list first.");
    }
    if (traData == nullptr || numOfData == nullptr) {
        return refuse(logger, "CDataStorage: Data storage has not been created yet.");
    }
    if (mutex == nullptr) {
        return refuse(logger, "CDataStorage: Mutex has not been set up yet.");
    }
    if (n == 0) {
        return refuse(logger, "CDataStorage: the number of data is zero.");
    }
    *numOfData = n;
    return true;
}

TraData* CDataStorage::getTraData(std::uint32_t id) const {
    if (id == 0 || traData == nullptr || id > getNumOfData()) {
        return nullptr;
    }
    return traData + (id - 1);
}

std::uint32_t CDataStorage::getNumOfData() const {
    return (traData == nullptr || numOfData == nullptr) ? 0 : *numOfData;
}

bool CDataStorage::lock() {
    return mutex != nullptr && mutex->lock();
}

bool CDataStorage::unlock() {
    return mutex != nullptr && mutex->unlock();
}

void StorageLock::reportNoMutex() const {
    refuse(storage.logger, "CDataStorage: Mutex has not been set up yet.");
}
