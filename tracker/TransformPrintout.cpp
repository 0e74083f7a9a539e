// Transform printout: the tracker table's settings on standard output.
#include "CTraCommonH.h"

#include <iomanip>
#include <iostream>

namespace {

constexpr char continuation[] = "                      :";

// Width 6 applies to this element only; fixed notation with precision 3 stays in
// force on std::cout afterwards on purpose: later offset values, in this printout
// and in later ones, show three decimals, as the printout has always done.
void printElement(float value) {
    std::cout << std::setw(6) << std::setfill(' ') << std::setprecision(3) << std::fixed << value;
}

// Three lines, one per column of the rotation block, then an empty line. `tracker`
// is 0 for the transmitter, else the real tracker number written before the elements.
void printMatrix(const CLoggerH& logger, const char* label, const Matrix4& matrix,
                 std::uint32_t tracker) {
    for (int i = 0; i < 3; ++i) {
        logger.info(i == 0 ? label : continuation, false);
        if (tracker != 0) {
            std::cout << " " << tracker;
        }
        for (int j = 0; j < 3; ++j) {
            std::cout << " [" << i << "][" << j << "]:";
            printElement(matrix.m[4 * i + j]);
        }
        std::cout << std::endl;
    }
    std::cout << std::endl;
}

void printOffset(const Matrix4& offset) {
    std::cout << " X:" << offset.m[3] << " Y:" << offset.m[7] << " Z:" << offset.m[11];
}

} // namespace

bool CTraCommonH::printTransforms(bool printCave) {
    const CLoggerH& out = *logger;
    if (printCave) {
        out.info(caveCoordinates ? "CAVE COORDINATES      : Used"
                                 : "CAVE COORDINATES      : Unused");
    }

    if (transmitterOffsetSet) {
        out.info("TRANSMITTER OFFSET    :", false);
        printOffset(transmitterOffset);
        std::cout << std::endl;
    }
    if (transmitterRotationSet) {
        printMatrix(out, "TRANSMITTER ROTATION  :", transmitterRotation, 0);
    }
    if (transmitterOffsetSet || transmitterRotationSet) {
        printMatrix(out, "TRANSMITTER TRANSFORM :", transmitterTransform, 0);
    }

    out.info("TRACKER ORDER         : <Real tra> -> <Output tra>");
    out.info(continuation, false);
    for (std::uint32_t k = 1; k <= entryCount; ++k) {
        if (lookup[k - 1].order != 0) {
            std::cout << " " << k << "->" << lookup[k - 1].order + idOffset;
        }
    }
    std::cout << std::endl;

    for (std::uint32_t k = 1; k <= entryCount; ++k) {
        const TrackerEntry& entry = lookup[k - 1];
        if (entry.order == 0) {
            continue;
        }
        if (entry.offsetSet) {
            out.info("SENSOR OFFSET         :", false);
            std::cout << " " << k;
            printOffset(entry.offset);
            std::cout << std::endl;
        }
        if (entry.rotationSet) {
            printMatrix(out, "SENSOR ROTATION       :", entry.rotation, k);
        }
        if (entry.offsetSet || entry.rotationSet) {
            printMatrix(out, "SENSOR TRANSFORM      :", entry.transform, k);
        }
    }

    if (calib) {
        out.info("CALIBRATION LIBRARY   :", false);
        std::cout << " name:" << calibLibrary << std::endl;
        for (std::size_t i = 0; i < calibArgs.size(); ++i) {
            out.info(continuation, false);
            std::cout << " arg[" << i << "]:" << calibArgs[i] << std::endl;
        }
    }
    return true;
}
