// The device: construction, init with the device options, and the printout.
#include "C3DBird.h"

#include "platform/platform.h"
#include "support/CConfigH.h"
#include "support/CDataStorage.h"

#include <mutex>

namespace {

// Sensors woken by this process; never lowered. Read, compared and raised under
// the storage's lock and, since devices of one process may sit on different
// storages, under this process-wide mutex too, so no two devices share an index.
std::int32_t deviceCounter = 0;
std::mutex deviceCounterMutex;

} // namespace

C3DBird::C3DBird(CConfigH* hostConfig, const CLoggerH* hostLogger)
    : CBase(hostLogger), config(hostConfig) {
    logger->debug("C3DBird: \"constructor\" called.");
    if (hostLogger == nullptr) {
        logger->setName("C3DBird");
    }
}

C3DBird::~C3DBird() {
    logger->debug("C3DBird: \"destructor\" called.");
}

// The host guarantees at most 32 lines of at most 64 arguments; a record that
// breaks this would be read past its end, so it is refused before anything else.
bool C3DBird::validRecord() const {
    if (config == nullptr || config->deviceName == nullptr) {
        logger->error("C3DBird: Option record is empty.");
        return false;
    }
    if (config->lineCount > CConfigH::maxLines) {
        logger->error("C3DBird: Option record holds ")
            << config->lineCount << " lines; at most " << CConfigH::maxLines << " are allowed.";
        return false;
    }
    for (std::uint32_t i = 0; i < config->lineCount; ++i) {
        const ConfigLine& line = config->lines[i];
        if (line.argCount > ConfigLine::maxArgs) {
            logger->error("C3DBird: Option line at line ")
                << line.lineNumber << " holds " << line.argCount << " args; at most "
                << ConfigLine::maxArgs << " are allowed.";
            return false;
        }
        bool texts = line.optionName != nullptr;
        for (std::uint32_t a = 0; texts && a < line.argCount; ++a) {
            texts = line.args[a] != nullptr;
        }
        if (!texts) {
            logger->error("C3DBird: Option line at line ")
                << line.lineNumber << " has an empty text.";
            return false;
        }
    }
    return true;
}

// Wakes the sensor under the next free index of the process; the caller holds
// the storage's lock.
bool C3DBird::wakeUpSensor() {
    const std::lock_guard<std::mutex> guard(deviceCounterMutex);
    if (deviceCounter >= bird::maxSensors) {
        logger->error("C3DBird: Only up to 4 3DBIRD can be used.");
        return false;
    }
    if (!wakeUpAs(deviceCounter)) {
        logger->error("C3DBird: could not initialize 3DBIRD.");
        return false;
    }
    deviceIndex = deviceCounter++;
    return true;
}

// The sensor library's wake-up of the sensor on the configured port under `index`;
// a reconnection repeats it with the same arguments.
bool C3DBird::wakeUpAs(std::int32_t index) {
    return _3dbirdWakeUp(index, static_cast<std::uint16_t>(options.serialPort), 1000, 1000) != 0;
}

// The tracker table from the transform options, with the device's tracker IDs
// reserved in the storage after those of the devices before it.
bool C3DBird::buildTrackerTable(CDataStorage& storage) {
    // A repeated init replaces the table of the earlier one.
    traCommon.reset();
    traCommon = std::make_unique<CTraCommonH>(
        logger, TrackerTableSetup{inputConnector, static_cast<std::uint32_t>(trackerCount), true});
    traCommon->createEntries(1);
    traCommon->setEntry(1, 1, nullptr, nullptr, nullptr);
    if (!traCommon->parseOptions(config)) {
        return false;
    }
    const StorageLock lock(storage);
    traCommon->setIdOffset(storage.getNumOfData());
    storage.setNumOfData(traCommon->trackerCount() + traCommon->idOffset());
    return true;
}

std::int32_t C3DBird::init(const InitInfo* info) {
    logger->debug("C3DBird: \"init\" called.");
    if (info == nullptr) {
        logger->error("C3DBird: Init info is empty.");
        return -1;
    }
    if (!validRecord()) {
        return -1;
    }
    initInfo = *info;
    readyFlag = initInfo.readyFlag;
    deviceName = std::make_unique<std::string>(config->deviceName);
    inputConnector = true;
    typeCode = 2;
    trackerCount = 1;
    options.reset = false;

    if (!readDeviceOptions(*config, options, *logger)) {
        return -1;
    }
    reconnection = Reconnection(options.reconnectMs);
    CDataStorage* const storage = initInfo.dataStorage;
    if (storage == nullptr) {
        logger->error("C3DBird: tracker data storage pointer is empty.");
        return -1;
    }

    if (const StorageLock lock(*storage); !wakeUpSensor()) {
        return -1;
    }

    if (!buildTrackerTable(*storage) || !checkUnknownOptions(config, logger)) {
        return -1;
    }
    printInfo();
    if (traCommon->calib() != nullptr && !traCommon->calib()->init(traCommon->calibArgs())) {
        return -1;
    }
    return 1;
}

bool C3DBird::printInfo() {
    logger->info("DEVICE NAME           : ") << (deviceName != nullptr ? *deviceName : "");
    logger->info("DEVICE TYPE           : 3D-BIRD");
    logger->info("VERSION               : ") << "5.5";
    logger->info("DATA TYPE             : ") << "Tracker";
    logger->info("SERIAL PORT           : ") << options.serialPort;
    logger->info("RESET                 : ") << (options.reset ? "Yes" : "No");
    if (options.reconnectMs > 0) {
        logger->info("RECONNECT             : ") << options.reconnectMs << " ms";
    }
    logger->info("NUMBER OF DEVICES     : 1");
    if (trackerCount != 0) {
        logger->info("NUMBER OF TRACKERS    : ") << static_cast<std::uint32_t>(trackerCount);
    }
    logger->info("SENSOR(S)             :") << " " << 1 << ":"
                                            << "ON";
    if (traCommon != nullptr) {
        traCommon->printTransforms();
    }
    logger->info("-----------------------");
    return true;
}
