// The host's data storage and its mutex, worked on in place.
#include "support/CDataStorage.h"

#include "host/plugin/HostStorage.h"
#include "platform/platform.h"
#include "support/CMutexH.h"
#include "support/TraData.h"
#include "tests/fixtures/CaptureStdout.h"
#include "tests/fixtures/PlainLogger.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

const CLoggerH hostLogger = plainLogger("host");

} // namespace

TEST(DataStorage, SetNumOfDataRefusalsComeInOrder) {
    HostStorage host(&hostLogger);
    CDataStorage& storage = *host.storage();
    CaptureStdout out;

    // Too big is checked before anything else, even without a slot array.
    TraData* const slots = storage.traData;
    storage.traData = nullptr;
    storage.controllerDataList = 1;
    EXPECT_FALSE(storage.setNumOfData(33));
    EXPECT_FALSE(storage.setNumOfData(5));
    storage.controllerDataList = 0;
    EXPECT_FALSE(storage.setNumOfData(5));
    EXPECT_EQ(out.text(), "host: ERROR: CDataStorage: The new number is too big.\n"
                          "host: ERROR: Delete controller data list first.\n"
                          "host: ERROR: CDataStorage: Data storage has not been created yet.\n");
    storage.traData = slots;
}

TEST(DataStorage, SetNumOfDataNeedsMutexAndNonZeroCount) {
    HostStorage host(&hostLogger);
    CDataStorage& storage = *host.storage();
    CaptureStdout out;
    EXPECT_FALSE(storage.setNumOfData(0));
    CMutexH* mutex = storage.mutex;
    storage.mutex = nullptr;
    EXPECT_FALSE(storage.setNumOfData(3));
    EXPECT_FALSE(storage.lock());
    EXPECT_FALSE(storage.unlock());
    { const StorageLock lock(storage); }
    storage.mutex = mutex;
    EXPECT_EQ(out.text(), "host: ERROR: CDataStorage: the number of data is zero.\n"
                          "host: ERROR: CDataStorage: Mutex has not been set up yet.\n"
                          "host: ERROR: CDataStorage: Mutex has not been set up yet.\n");
    EXPECT_EQ(host.count(), 0u);
    EXPECT_TRUE(storage.setNumOfData(32));
    EXPECT_EQ(host.count(), 32u);
}

TEST(DataStorage, SlotsByTrackerId) {
    HostStorage host(&hostLogger);
    CDataStorage& storage = *host.storage();
    ASSERT_TRUE(storage.setNumOfData(5));
    EXPECT_EQ(storage.getTraData(1), storage.traData);
    EXPECT_EQ(reinterpret_cast<const char*>(storage.getTraData(5)) -
                  reinterpret_cast<const char*>(storage.traData),
              4 * 56);
    EXPECT_EQ(storage.getTraData(6), nullptr);
    EXPECT_EQ(storage.getTraData(0), nullptr);
    EXPECT_EQ(storage.getNumOfData(), 5u);

    TraData* slots = storage.traData;
    storage.traData = nullptr;
    EXPECT_EQ(storage.getNumOfData(), 0u);
    EXPECT_EQ(storage.getTraData(1), nullptr);
    storage.traData = slots;
}

TEST(Mutex, LockAndUnlockAroundTheSlots) {
    HostStorage host(&hostLogger);
    CaptureStdout out;
    EXPECT_TRUE(host.storage()->lock());
    EXPECT_TRUE(host.storage()->unlock());
    EXPECT_EQ(out.text(), "");
}

TEST(Mutex, ReleasingAMutexNotHeldIsReportedWithTheSystemText) {
    HostStorage host(&hostLogger);
    CaptureStdout out;
    EXPECT_FALSE(host.mutex()->unlock());
    const std::string text = out.text();
    const std::string head = "host: ERROR: CMutexH: Unlocking mutex: ";
    ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
    EXPECT_GT(text.size(), head.size() + 1) << "the system's text is missing";
    EXPECT_EQ(text.back(), '\n');
}

TEST(Mutex, AbandonedMutexIsReportedThenOwnedAndUsable) {
    HostStorage host(&hostLogger);
    // A thread that ends while it holds the mutex.
    std::thread([&host] {
        platform::ErrorCode error = 0;
        ASSERT_TRUE(platform::waitMutex(host.mutex()->handle, error));
    }).join();

    CaptureStdout out;
    EXPECT_FALSE(host.storage()->lock());
    const std::string head = "host: ERROR: CMutexH: Locking mutex: ";
    EXPECT_EQ(out.text().compare(0, head.size(), head), 0) << out.text();
    // The caller owns it anyway: its unlock succeeds and the mutex works again.
    EXPECT_TRUE(host.storage()->unlock());
    out.clear();
    EXPECT_TRUE(host.storage()->lock());
    EXPECT_TRUE(host.storage()->unlock());
    EXPECT_EQ(out.text(), "");
}
