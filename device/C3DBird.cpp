// The device: construction, init with the device options, and the printout.
#include "C3DBird.h"

#include "platform/platform.h"
#include "support/CConfigH.h"
#include "support/CDataStorage.h"
#include "tracker/OptionValues.h"

#include <mutex>

namespace {

// Sensors woken by this process; never lowered. Read, compared and raised under
// the storage's lock and, since devices of one process may sit on different
// storages, under this process-wide mutex too, so no two devices share an index.
std::int32_t deviceCounter = 0;
std::mutex deviceCounterMutex;

constexpr char incomplete[] = "Incomplete option line found for ";
constexpr char tooMany[] = "Too many args found for ";
constexpr char invalidString[] = "Invalid string found for ";
constexpr char invalidArg[] = "Invalid arg found for ";

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

namespace {

// The option report: ERROR head, reason, subject, line number.
bool reportOption(const CLoggerH& logger, const char* reason, const char* subject,
                  const ConfigLine& line) {
    logger.error("C3DBird: ") << reason << subject << line.lineNumber << '.';
    return false;
}

} // namespace

bool C3DBird::readPort(ConfigLine& line) {
    constexpr char subject[] = "SerialPort at line ";
    if (line.argCount != 1) {
        return reportOption(*logger, line.argCount < 1 ? incomplete : tooMany, subject, line);
    }
    serialPort = toInteger(line.args[0]);
    if (serialPort < 1 || serialPort > maxSensors) {
        logger->error("C3DBird: ") << "Port should be between 1 and 4.";
        return false;
    }
    line.used = 1;
    return true;
}

bool C3DBird::readReset(ConfigLine& line) {
    constexpr char subject[] = "Reset at line ";
    if (line.argCount != 1) {
        return reportOption(*logger, line.argCount < 1 ? incomplete : tooMany, subject, line);
    }
    if (!readSwitchWord(line.args[0], reset)) {
        return reportOption(*logger, invalidString, subject, line);
    }
    line.used = 1;
    return true;
}

// x, y, z in feet, or in the unit of an optional fourth word.
bool C3DBird::readPosition(ConfigLine& line) {
    constexpr char subject[] = "Position at line ";
    if (line.argCount < 3 || line.argCount > 4) {
        return reportOption(*logger, line.argCount < 3 ? incomplete : tooMany, subject, line);
    }
    float values[3];
    for (int i = 0; i < 3; ++i) {
        if (!readOptionNumber(line.args[i], values[i])) {
            return reportOption(*logger, invalidArg, subject, line);
        }
    }
    float factor = 1.0f;
    if (line.argCount == 4 && !readUnitWord(line.args[3], factor)) {
        return reportOption(*logger, invalidString, subject, line);
    }
    for (int i = 0; i < 3; ++i) {
        position[0][i] = values[i] * factor;
    }
    return true;
}

// Reads "port"/"serialport", "reset" and "position"; every line is examined.
bool C3DBird::readDeviceOptions() {
    bool error = false;
    for (std::uint32_t i = 0; i < config->lineCount; ++i) {
        ConfigLine& line = config->lines[i];
        const char* name = line.optionName;
        if (compareNoCase(name, "port") == 0 || compareNoCase(name, "serialport") == 0) {
            error = !readPort(line) || error;
        } else if (compareNoCase(name, "reset") == 0) {
            error = !readReset(line) || error;
        } else if (compareNoCase(name, "position") == 0) {
            if (!readPosition(line)) {
                error = true;
            } else if (!error) {
                fixedPosition[0] = true;
                line.used = 1;
            }
        }
    }
    return !error;
}

// Wakes the sensor under the next free index of the process; the caller holds
// the storage's lock.
bool C3DBird::wakeUpSensor() {
    const std::lock_guard<std::mutex> guard(deviceCounterMutex);
    if (deviceCounter >= maxSensors) {
        logger->error("C3DBird: Only up to 4 3DBIRD can be used.");
        return false;
    }
    if (_3dbirdWakeUp(deviceCounter, static_cast<std::uint16_t>(serialPort), 1000, 1000) == 0) {
        logger->error("C3DBird: could not initialize 3DBIRD.");
        return false;
    }
    deviceIndex = deviceCounter++;
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
    reset = false;

    if (!readDeviceOptions()) {
        return -1;
    }
    CDataStorage* const storage = initInfo.dataStorage;
    if (storage == nullptr) {
        logger->error("C3DBird: tracker data storage pointer is empty.");
        return -1;
    }

    storage->lock();
    if (!wakeUpSensor()) {
        storage->unlock();
        return -1;
    }
    storage->unlock();

    // A repeated init replaces the table of the earlier one.
    traCommon.reset();
    traCommon = std::make_unique<CTraCommonH>(logger);
    traCommon->inputConnector = inputConnector;
    traCommon->trackerCount = static_cast<std::uint32_t>(trackerCount);
    traCommon->caveCoordinates = true;
    traCommon->createEntries(1);
    traCommon->setEntry(1, 1, nullptr, nullptr, nullptr);
    if (!traCommon->parseOptions(config)) {
        return -1;
    }

    storage->lock();
    traCommon->idOffset = storage->getNumOfData();
    storage->setNumOfData(traCommon->trackerCount + traCommon->idOffset);
    storage->unlock();

    if (!checkUnknownOptions(config, logger)) {
        return -1;
    }
    printInfo();
    if (traCommon->calib != nullptr) {
        const std::vector<const char*> args = traCommon->calibArgv();
        if (!traCommon->calib->init(args.data(), traCommon->calibArgCount())) {
            return -1;
        }
    }
    return 1;
}

bool C3DBird::printInfo() {
    logger->info("DEVICE NAME           : ") << (deviceName != nullptr ? *deviceName : "");
    logger->info("DEVICE TYPE           : 3D-BIRD");
    logger->info("VERSION               : ") << "5.5";
    logger->info("DATA TYPE             : ") << "Tracker";
    logger->info("SERIAL PORT           : ") << serialPort;
    logger->info("RESET                 : ") << (reset ? "Yes" : "No");
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
