// Transform printout: the tracker table's settings on standard output.
#include "CTraCommonH.h"

#include <iomanip>

namespace {

constexpr char continuation[] = "                      :";

// Width 6 applies to this element only; fixed notation with precision 3 stays in
// force on standard output afterwards on purpose: later offset values, in this
// printout and in later ones, show three decimals, as the printout has always done.
void printElement(LogLine& line, float value) {
    line << std::setw(6) << std::setfill(' ') << std::setprecision(3) << std::fixed << value;
}

// Three lines, one per column of the rotation block, then an empty line. `tracker`
// is 0 for the transmitter, else the real tracker number written before the elements.
void printMatrix(const CLoggerH& logger, const char* label, const Matrix4& matrix,
                 std::uint32_t tracker) {
    for (int i = 0; i < 3; ++i) {
        LogLine line = logger.info(i == 0 ? label : continuation);
        if (tracker != 0) {
            line << " " << tracker;
        }
        for (int j = 0; j < 3; ++j) {
            line << " [" << i << "][" << j << "]:";
            printElement(line, matrix.m[4 * i + j]);
        }
    }
    logger.blankLine();
}

void printOffset(LogLine& line, const Matrix4& offset) {
    line << " X:" << offset.m[3] << " Y:" << offset.m[7] << " Z:" << offset.m[11];
}

// "real -> output" for every output tracker. With no output tracker the second
// line holds the label alone; with the logger off it is still an (empty) line.
void printOrder(const CLoggerH& out, const TrackerEntry* entries, std::uint32_t count,
                std::uint32_t idOffset) {
    out.info("TRACKER ORDER         : <Real tra> -> <Output tra>");
    LogLine line = out.info(continuation);
    for (std::uint32_t k = 1; k <= count; ++k) {
        if (entries[k - 1].order != 0) {
            line << " " << k << "->" << entries[k - 1].order + idOffset;
        }
    }
    line << "";
}

// The offset line and the rotation and transform blocks of output tracker k.
void printSensor(const CLoggerH& out, std::uint32_t k, const TrackerEntry& entry) {
    if (entry.offsetSet) {
        LogLine line = out.info("SENSOR OFFSET         :");
        line << " " << k;
        printOffset(line, entry.offset);
    }
    if (entry.rotationSet) {
        printMatrix(out, "SENSOR ROTATION       :", entry.rotation, k);
    }
    if (entry.offsetSet || entry.rotationSet) {
        printMatrix(out, "SENSOR TRANSFORM      :", entry.transform, k);
    }
}

} // namespace

bool CTraCommonH::printTransforms(bool printCave) const {
    const CLoggerH& out = *logger;
    if (printCave) {
        out.info(setup.caveCoordinates ? "CAVE COORDINATES      : Used"
                                       : "CAVE COORDINATES      : Unused");
    }

    if (transmitter.offsetSet) {
        LogLine line = out.info("TRANSMITTER OFFSET    :");
        printOffset(line, transmitter.offset);
    }
    if (transmitter.rotationSet) {
        printMatrix(out, "TRANSMITTER ROTATION  :", transmitter.rotation, 0);
    }
    if (transmitter.offsetSet || transmitter.rotationSet) {
        printMatrix(out, "TRANSMITTER TRANSFORM :", transmitter.transform, 0);
    }

    printOrder(out, lookup.get(), entries, outputIdOffset);

    for (std::uint32_t k = 1; k <= entries; ++k) {
        if (lookup[k - 1].order != 0) {
            printSensor(out, k, lookup[k - 1]);
        }
    }

    if (calibration) {
        out.info("CALIBRATION LIBRARY   :") << " name:" << calibName;
        for (std::size_t i = 0; i < calibArguments.size(); ++i) {
            out.info(continuation) << " arg[" << i << "]:" << calibArguments[i];
        }
    }
    return true;
}
