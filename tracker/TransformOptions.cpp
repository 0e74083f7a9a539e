// Transform options: transmitter and sensor transforms, calibration library,
// tracker order and CAVE coordinates, read from the host's option lines.
#include "CTraCommonH.h"

#include "OptionValues.h"
#include "support/CConfigH.h"

#include <cstring>

namespace {

constexpr char incomplete[] = "Incomplete option line found for ";
constexpr char tooMany[] = "Too many args found for ";
constexpr char invalidArg[] = "Invalid arg found for ";
constexpr char invalidUnit[] = "Invalid unit found for ";
constexpr char invalidString[] = "Invalid string found for ";
constexpr char invalidTrackerId[] = "Invalid tracker ID found for ";

// One option line being applied, with the label its reports carry.
class OptionLine {
public:
    OptionLine(const ConfigLine& line, const char* label, const CLoggerH& logger, bool& errorFlag)
        : line(line), label(label), logger(logger), errorFlag(errorFlag) {}

    std::uint32_t count() const { return line.argCount; }
    // Arguments count from 1, after the option name.
    const char* arg(std::uint32_t index) const { return line.args[index - 1]; }
    // An earlier line failed: the geometric options check but store nothing.
    bool earlierError() const { return errorFlag; }

    // Writes the report, raises the error flag and answers false.
    bool fail(const char* reason) const {
        logger.error("") << reason << label << line.lineNumber << '.';
        errorFlag = true;
        return false;
    }
    bool refuseOrder() const {
        logger.error("") << "Can not change the order on input connector at line "
                         << line.lineNumber << '.';
        errorFlag = true;
        return false;
    }

    bool countIn(std::uint32_t least, std::uint32_t most) const {
        if (count() < least) {
            return fail(incomplete);
        }
        if (count() > most) {
            return fail(tooMany);
        }
        return true;
    }
    // Arguments first .. first + n - 1 by the number rule.
    bool numbers(std::uint32_t first, std::uint32_t n, float* values) const {
        for (std::uint32_t i = 0; i < n; ++i) {
            if (!readOptionNumber(arg(first + i), values[i])) {
                return fail(invalidArg);
            }
        }
        return true;
    }
    // A real tracker ID, 1 to entryCount, as strtol with base 0 reads it.
    bool trackerId(std::uint32_t index, std::uint32_t entryCount, std::uint32_t& id) const {
        id = static_cast<std::uint32_t>(toInteger(arg(index)));
        if (id == 0 || id > entryCount) {
            return fail(invalidTrackerId);
        }
        return true;
    }

private:
    const ConfigLine& line;
    const char* label;
    const CLoggerH& logger;
    bool& errorFlag;
};

void combineTransmitter(CTraCommonH& table) {
    table.transmitterTransform =
        combineTransform(table.transmitterRotation, table.transmitterOffset);
}

void combineEntry(TrackerEntry& entry) {
    entry.transform = combineTransform(entry.rotation, entry.offset);
}

bool transmitterOffset(CTraCommonH& table, const OptionLine& line) {
    float xyz[3];
    if (!line.countIn(3, 4) || !line.numbers(1, 3, xyz) || line.earlierError()) {
        return false;
    }
    float factor = 1.0f;
    if (line.count() == 4 && !readUnitWord(line.arg(4), factor)) {
        return line.fail(invalidString);
    }
    for (float& value : xyz) {
        value *= factor;
    }
    // A zero offset is accepted but stored nowhere, so an earlier one stays.
    if (xyz[0] == 0.0f && xyz[1] == 0.0f && xyz[2] == 0.0f) {
        return true;
    }
    table.transmitterOffset = offsetMatrix(xyz[0], xyz[1], xyz[2]);
    combineTransmitter(table);
    table.transmitterOffsetSet = true;
    return true;
}

bool transmitterRotation(CTraCommonH& table, const OptionLine& line) {
    float axis[3];
    float angle;
    if (!line.countIn(4, 4) || !line.numbers(1, 3, axis) || line.earlierError() ||
        !line.numbers(4, 1, &angle)) {
        return false;
    }
    table.transmitterRotation = axisAngleMatrix(axis[0], axis[1], axis[2], angle);
    combineTransmitter(table);
    table.transmitterRotationSet = true;
    return true;
}

bool transmitterRotationMatrix(CTraCommonH& table, const OptionLine& line) {
    float a[9];
    if (!line.countIn(9, 9) || !line.numbers(1, 9, a) || line.earlierError()) {
        return false;
    }
    table.transmitterRotation =
        matrixFromNine(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    combineTransmitter(table);
    table.transmitterRotationSet = true;
    return true;
}

// The tracker ID comes before the count checks, so a bad ID on a short line is
// reported as an invalid ID.
TrackerEntry* sensorEntry(CTraCommonH& table, const OptionLine& line, std::uint32_t least,
                          std::uint32_t most) {
    if (line.count() < 1) {
        line.fail(incomplete);
        return nullptr;
    }
    std::uint32_t id = 0;
    if (!line.trackerId(1, table.entryCount, id) || !line.countIn(least, most)) {
        return nullptr;
    }
    return &table.lookup[id - 1];
}

// x, y, z and the optional unit word of "sensoroffset" and "sensortranslation".
bool sensorPosition(CTraCommonH& table, const OptionLine& line, TrackerEntry*& entry, float* xyz) {
    entry = sensorEntry(table, line, 4, 5);
    if (entry == nullptr || !line.numbers(2, 3, xyz) || line.earlierError()) {
        return false;
    }
    float factor = 1.0f;
    if (line.count() == 5 && !readUnitWord(line.arg(5), factor)) {
        return line.fail(invalidUnit);
    }
    for (int i = 0; i < 3; ++i) {
        xyz[i] *= factor;
    }
    return true;
}

bool sensorOffset(CTraCommonH& table, const OptionLine& line) {
    TrackerEntry* entry = nullptr;
    float xyz[3];
    if (!sensorPosition(table, line, entry, xyz)) {
        return false;
    }
    entry->offset = offsetMatrix(xyz[0], xyz[1], xyz[2]);
    combineEntry(*entry);
    entry->offsetSet = true;
    return true;
}

bool sensorTranslation(CTraCommonH& table, const OptionLine& line) {
    TrackerEntry* entry = nullptr;
    float xyz[3];
    if (!sensorPosition(table, line, entry, xyz)) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        entry->translation[i] = xyz[i];
    }
    entry->translationSet = true;
    return true;
}

bool sensorRotation(CTraCommonH& table, const OptionLine& line) {
    TrackerEntry* entry = sensorEntry(table, line, 5, 5);
    float axis[3];
    float angle;
    if (entry == nullptr || !line.numbers(2, 3, axis) || line.earlierError() ||
        !line.numbers(5, 1, &angle)) {
        return false;
    }
    entry->rotation = axisAngleMatrix(axis[0], axis[1], axis[2], angle);
    combineEntry(*entry);
    entry->rotationSet = true;
    return true;
}

bool sensorRotationMatrix(CTraCommonH& table, const OptionLine& line) {
    TrackerEntry* entry = sensorEntry(table, line, 10, 10);
    float a[9];
    if (entry == nullptr || !line.numbers(2, 9, a) || line.earlierError()) {
        return false;
    }
    entry->rotation = matrixFromNine(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    combineEntry(*entry);
    entry->rotationSet = true;
    return true;
}

// Acts even after an earlier error. The name is kept before the argument count is
// checked; a name too long to keep refuses the line and leaves everything as it was.
bool calibration(CTraCommonH& table, const OptionLine& line) {
    if (line.count() < 1) {
        return line.fail(incomplete);
    }
    const char* name = line.arg(1);
    const std::size_t length = std::strlen(name);
    if (length >= CTraCommonH::calibLibrarySize) {
        return line.fail(invalidString);
    }
    std::memcpy(table.calibLibrary, name, length + 1);
    if (line.count() - 1 > CCalibH::maxArgs) {
        return line.fail(tooMany);
    }
    // The earlier library is released before the new one is loaded.
    table.calib.reset();
    table.calibArgs.clear();
    table.calib = std::make_unique<CCalibH>(table.calibLibrary, &table.log());
    for (std::uint32_t i = 2; i <= line.count(); ++i) {
        table.calibArgs.emplace_back(line.arg(i));
    }
    return true;
}

// Acts even after an earlier error. Arguments beyond trackerCount are ignored;
// trackers not named are not output.
bool trackerOrder(CTraCommonH& table, const OptionLine& line) {
    if (table.inputConnector) {
        return line.refuseOrder();
    }
    const std::uint32_t named =
        line.count() < table.trackerCount ? line.count() : table.trackerCount;
    for (std::uint32_t position = 1; position <= named; ++position) {
        std::uint32_t id = 0;
        if (!line.trackerId(position, table.entryCount, id)) {
            return false;
        }
    }
    for (std::uint32_t i = 0; i < table.entryCount; ++i) {
        table.lookup[i].order = 0;
    }
    for (std::uint32_t position = 1; position <= named; ++position) {
        const auto id = static_cast<std::uint32_t>(toInteger(line.arg(position)));
        table.lookup[id - 1].order = position;
    }
    return true;
}

// Acts even after an earlier error; only an input connector takes it, elsewhere
// the line stays for the unknown-option check.
bool caveCoordinates(CTraCommonH& table, const OptionLine& line) {
    if (!table.inputConnector || !line.countIn(1, 1)) {
        return false;
    }
    if (!readSwitchWord(line.arg(1), table.caveCoordinates)) {
        return line.fail(invalidString);
    }
    return true;
}

struct TransformOption {
    const char* name;
    const char* label;
    bool (*apply)(CTraCommonH&, const OptionLine&);
};

const TransformOption transformOptions[] = {
    {"transmitteroffset", "TransmitterOffset at line ", transmitterOffset},
    {"transmitterrotation", "TransmitterRotation at line ", transmitterRotation},
    {"transmitterrotationmatrix", "TransmitterRotationMatrix at line ", transmitterRotationMatrix},
    {"sensoroffset", "SensorOffset at line ", sensorOffset},
    {"sensortranslation", "SensorTranslation at line ", sensorTranslation},
    {"sensorrotation", "SensorRotation at line ", sensorRotation},
    {"sensorrotationmatrix", "SensorRotationMatrix at line ", sensorRotationMatrix},
    {"calibration", "Calibration at line ", calibration},
    {"calib", "Calibration at line ", calibration},
    {"trackerorder", "Order at line ", trackerOrder},
    {"unitorder", "Order at line ", trackerOrder},
    {"order", "Order at line ", trackerOrder},
    {"cavecoord", "CAVECoord at line ", caveCoordinates},
    {"cavecoordinates", "CAVECoord at line ", caveCoordinates},
};

} // namespace

bool CTraCommonH::parseOptions(CConfigH* config) {
    if (!lookup) {
        logger->error("CTraCommonH: lookup is Null.");
        return false;
    }
    if (config == nullptr) {
        logger->error("CTraCommonH: config is empty.");
        return false;
    }
    bool errorFlag = false;
    for (std::uint32_t i = 0; i < config->lineCount; ++i) {
        ConfigLine& line = config->lines[i];
        for (const TransformOption& option : transformOptions) {
            if (compareNoCase(line.optionName, option.name) != 0) {
                continue;
            }
            if (option.apply(*this, OptionLine(line, option.label, *logger, errorFlag))) {
                line.used = 1;
            }
            break;
        }
    }
    return !errorFlag;
}
