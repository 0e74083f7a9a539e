// Transform options: transmitter and sensor transforms, calibration library,
// tracker order and CAVE coordinates, read from the host's option lines.
#include "CTraCommonH.h"
#include "TransformOptionRows.h"

#include "support/CConfigH.h"

#include <algorithm>

using namespace optionReason;

// The readers of the table's options, one per option; each checks its line in the
// order the reports have always come in and changes the table only when it accepts.
// Once a line has failed, the geometric options still check their values but look at
// no unit word or angle and store nothing.
struct TransformOptions {
    using Line = const OptionLine&;

    static void setTransmitterOffset(CTraCommonH& table, const float* xyz) {
        table.transmitter.offset = offsetMatrix(xyz[0], xyz[1], xyz[2]);
        table.transmitter.transform =
            combineTransform(table.transmitter.rotation, table.transmitter.offset);
        table.transmitter.offsetSet = true;
    }

    static void setTransmitterRotation(CTraCommonH& table, const Matrix4& rotation) {
        table.transmitter.rotation = rotation;
        table.transmitter.transform =
            combineTransform(table.transmitter.rotation, table.transmitter.offset);
        table.transmitter.rotationSet = true;
    }

    static void setSensorOffset(TrackerEntry& entry, const float* xyz) {
        entry.offset = offsetMatrix(xyz[0], xyz[1], xyz[2]);
        entry.transform = combineTransform(entry.rotation, entry.offset);
        entry.offsetSet = true;
    }

    static void setSensorRotation(TrackerEntry& entry, const Matrix4& rotation) {
        entry.rotation = rotation;
        entry.transform = combineTransform(entry.rotation, entry.offset);
        entry.rotationSet = true;
    }

    static Matrix4 fromNine(const float* a) {
        return matrixFromNine(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    }

    // A zero offset is accepted but stored nowhere, so an earlier one stays.
    static bool transmitterOffset(CTraCommonH& table, Line line) {
        float xyz[3];
        if (!line.countFits() || !line.numbers(1, 3, xyz) || line.earlierError() ||
            !line.unitScale(xyz, 3)) {
            return false;
        }
        if (xyz[0] != 0.0f || xyz[1] != 0.0f || xyz[2] != 0.0f) {
            setTransmitterOffset(table, xyz);
        }
        return true;
    }

    static bool transmitterRotation(CTraCommonH& table, Line line) {
        float axis[4];
        if (!line.countFits() || !line.numbers(1, 3, axis) || line.earlierError() ||
            !line.numbers(4, 1, &axis[3])) {
            return false;
        }
        setTransmitterRotation(table, axisAngleMatrix(axis[0], axis[1], axis[2], axis[3]));
        return true;
    }

    static bool transmitterRotationMatrix(CTraCommonH& table, Line line) {
        float a[9];
        if (!line.countFits() || !line.numbers(1, 9, a) || line.earlierError()) {
            return false;
        }
        setTransmitterRotation(table, fromNine(a));
        return true;
    }

    // The tracker ID comes before the count checks, so a bad ID on a short line is
    // reported as an invalid ID.
    static TrackerEntry* sensorEntry(CTraCommonH& table, Line line) {
        std::uint32_t id = 0;
        if (!line.countIn(1, ~0u) || !line.trackerId(1, table.entries, id) || !line.countFits()) {
            return nullptr;
        }
        return &table.lookup[id - 1];
    }

    // x, y, z and the optional unit word of the sensor offset and translation.
    static TrackerEntry* sensorPosition(CTraCommonH& table, Line line, float* xyz) {
        TrackerEntry* entry = sensorEntry(table, line);
        if (entry == nullptr || !line.numbers(2, 3, xyz) || line.earlierError() ||
            !line.unitScale(xyz, 3)) {
            return nullptr;
        }
        return entry;
    }

    static bool sensorOffset(CTraCommonH& table, Line line) {
        float xyz[3];
        TrackerEntry* entry = sensorPosition(table, line, xyz);
        if (entry != nullptr) {
            setSensorOffset(*entry, xyz);
        }
        return entry != nullptr;
    }

    static bool sensorTranslation(CTraCommonH& table, Line line) {
        float xyz[3];
        TrackerEntry* entry = sensorPosition(table, line, xyz);
        if (entry != nullptr) {
            std::copy(xyz, xyz + 3, entry->translation);
            entry->translationSet = true;
        }
        return entry != nullptr;
    }

    static bool sensorRotation(CTraCommonH& table, Line line) {
        TrackerEntry* entry = sensorEntry(table, line);
        float axis[4];
        if (entry == nullptr || !line.numbers(2, 3, axis) || line.earlierError() ||
            !line.numbers(5, 1, &axis[3])) {
            return false;
        }
        setSensorRotation(*entry, axisAngleMatrix(axis[0], axis[1], axis[2], axis[3]));
        return true;
    }

    static bool sensorRotationMatrix(CTraCommonH& table, Line line) {
        TrackerEntry* entry = sensorEntry(table, line);
        float a[9];
        if (entry == nullptr || !line.numbers(2, 9, a) || line.earlierError()) {
            return false;
        }
        setSensorRotation(*entry, fromNine(a));
        return true;
    }

    // Acts even after an earlier error. The name is kept before the argument count is
    // checked; a name too long to keep refuses the line and leaves everything as it was.
    static bool calibration(CTraCommonH& table, Line line) {
        if (!line.countIn(1, ~0u)) {
            return false;
        }
        const std::string name = line.arg(1);
        if (name.size() > CTraCommonH::calibLibraryMax) {
            return line.fail(invalidString);
        }
        table.calibName = name;
        if (!line.countFits()) {
            return false;
        }
        // The earlier library is released before the new one is loaded.
        table.calibration.reset();
        table.calibArguments.clear();
        table.calibration = std::make_unique<CCalibH>(table.calibName.c_str(), &table.log());
        for (std::uint32_t i = 2; i <= line.count(); ++i) {
            table.calibArguments.emplace_back(line.arg(i));
        }
        return true;
    }

    // Acts even after an earlier error. Arguments beyond trackerCount are ignored;
    // trackers not named are not output.
    static bool trackerOrder(CTraCommonH& table, Line line) {
        if (table.setup.inputConnector) {
            return line.failWith("Can not change the order on input connector at line " +
                                 std::to_string(line.lineNumber()) + '.');
        }
        const std::uint32_t named = std::min(line.count(), table.setup.trackerCount);
        std::vector<std::uint32_t> ids(named);
        for (std::uint32_t position = 1; position <= named; ++position) {
            if (!line.trackerId(position, table.entries, ids[position - 1])) {
                return false;
            }
        }
        for (std::uint32_t i = 0; i < table.entries; ++i) {
            table.lookup[i].order = 0;
        }
        for (std::uint32_t position = 1; position <= named; ++position) {
            table.lookup[ids[position - 1] - 1].order = position;
        }
        return true;
    }

    // Acts even after an earlier error; only an input connector takes it, elsewhere
    // the line stays for the unknown-option check.
    static bool caveCoordinates(CTraCommonH& table, Line line) {
        return table.setup.inputConnector && line.countFits() &&
               line.switchWord(1, table.setup.caveCoordinates);
    }

    static constexpr OptionRule<CTraCommonH> rules[] = {
        {OptionTopic::transmitterOffset, transmitterOffset},
        {OptionTopic::transmitterRotation, transmitterRotation},
        {OptionTopic::transmitterRotationMatrix, transmitterRotationMatrix},
        {OptionTopic::sensorOffset, sensorOffset},
        {OptionTopic::sensorTranslation, sensorTranslation},
        {OptionTopic::sensorRotation, sensorRotation},
        {OptionTopic::sensorRotationMatrix, sensorRotationMatrix},
        {OptionTopic::calibration, calibration},
        {OptionTopic::order, trackerOrder},
        {OptionTopic::caveCoordinates, caveCoordinates},
    };
};

bool CTraCommonH::parseOptions(CConfigH* config, std::vector<OptionProblem>* collected) {
    if (!lookup) {
        logger->error("CTraCommonH: lookup is Null.");
        return false;
    }
    if (config == nullptr) {
        logger->error("CTraCommonH: config is empty.");
        return false;
    }
    OptionReports reports(*logger, "", collected);
    readOptions(*config, transformOptionRows(), TransformOptions::rules, *this, reports);
    return !reports.failed();
}
