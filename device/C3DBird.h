// The device: one orientation sensor on one serial port, behind CBase.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/BirdLibrary.h"
#include "CBase.h"
#include "support/TraData.h"
#include "tracker/CTraCommonH.h"
#include "support/TrackerPose.h"

struct CConfigH;
struct ConfigLine;

class C3DBird final : public CBase {
public:
    static constexpr int sensorCount = 1;
    static constexpr std::int32_t maxSensors = 4; // sensors one process may wake

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
    std::int32_t serialPortValue() const { return serialPort; }
    bool resetValue() const { return reset; }
    bool hasFixedPosition() const { return fixedPosition[0]; }
    const float* fixedPositionValue() const { return position[0]; }
    const CTraCommonH* tracker() const { return traCommon.get(); }
    std::int32_t typeCodeValue() const { return typeCode; }

private:
    bool validRecord() const;
    bool readDeviceOptions();
    bool readPort(ConfigLine& line);
    bool readReset(ConfigLine& line);
    bool readPosition(ConfigLine& line);
    bool wakeUpSensor();
    bool receiveSensor(std::uint32_t rawId, std::uint8_t* updateMask, bool& valid);

    std::unique_ptr<std::string> deviceName;
    bool reset = false;
    InitInfo initInfo{};
    TraData* lastSlot = nullptr;
    TraData lastRecords[sensorCount];
    TraData record;
    std::int32_t trackerCount = 0;
    std::int32_t* readyFlag = nullptr;
    TrackerPose pose{};
    std::uint8_t deviceConfig[bird::configSize] = {};
    std::uint8_t reading[bird::readingSize] = {};
    std::int32_t deviceIndex = -1;
    std::int32_t serialPort = 1;
    bool fixedPosition[sensorCount] = {};
    float position[sensorCount][3] = {};
    CConfigH* config;
    std::unique_ptr<CTraCommonH> traCommon;
};
