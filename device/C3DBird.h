// The device: one orientation sensor on one serial port, behind CBase.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "CBase.h"
#include "DeviceOptions.h"
#include "Reconnection.h"
#include "bird/BirdLibrary.h"
#include "support/TraData.h"
#include "tracker/CTraCommonH.h"

struct CConfigH;

class C3DBird : public CBase {
public:
    static constexpr int sensorCount = 1;

    C3DBird(CConfigH* config, const CLoggerH* hostLogger);
    ~C3DBird();

    std::int32_t init(const InitInfo* info) override;
    bool start() override;
    std::int32_t configure() override;
    bool stop() override;
    bool printInfo() override;
    std::int32_t recvData(std::uint8_t* updateMask, std::int32_t unused) override;
    std::int32_t sendData(std::int32_t unused1, std::int32_t unused2) override;

    bool resetOrientation();
    bool setReferenceFrame();

    // Read-only views for the host side and tests.
    const CLoggerH& log() const { return *logger; }
    std::int32_t deviceIndexValue() const { return deviceIndex; }
    std::int32_t serialPortValue() const { return options.serialPort; }
    bool resetValue() const { return options.reset; }
    bool hasFixedPosition() const { return options.fixedPosition; }
    const float* fixedPositionValue() const { return options.position; }
    const CTraCommonH* tracker() const { return traCommon.get(); }
    std::int32_t typeCodeValue() const { return typeCode; }

private:
    bool validRecord() const;
    bool wakeUpSensor();
    bool wakeUpAs(std::int32_t index);
    bool buildTrackerTable(CDataStorage& storage);
    bool makeRecord(std::uint32_t rawId, std::uint32_t traId, const std::uint8_t* reading,
                    TraData& record);

    // What one sensor's part of a cycle came to.
    enum class Outcome {
        nothing, // no record: no tracker table, no valid ID, or no storage slot
        record,  // a record was made (and delivered when its pose changed)
        refused, // the calibration library could not take the pose, or no record holds it
    };
    Outcome receiveSensor(std::uint32_t rawId, const std::uint8_t* reading,
                          std::uint8_t* updateMask);
    bool deliver(const TraData& record, std::uint32_t traId);
    bool readingEncodable(const std::uint8_t* reading);
    void tellUnencodable(const char* what);
    bool followStream(bool ok, const std::uint8_t* reading);
    const char* reconnectSensor();

    std::unique_ptr<std::string> deviceName;
    DeviceSettings options;
    Reconnection reconnection;            // with the "reconnect" option
    const char* attemptFailure = nullptr; // why the last attempt failed; null: it restarted
    bool toldUnencodable = false;         // a reading no record holds was reported
    InitInfo initInfo{};
    TraData lastRecords[sensorCount]; // the last record delivered per sensor
    std::int32_t trackerCount = 0;
    std::int32_t* readyFlag = nullptr;
    std::uint8_t deviceConfig[bird::configSize] = {};
    std::int32_t deviceIndex = -1;
    CConfigH* config;
    std::unique_ptr<CTraCommonH> traCommon;
};
