// The tracker table: transmitter transform, per-tracker entries, CAVE switch,
// ID offset and the calibration library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Matrix4.h"
#include "support/CCalibH.h"
#include "support/CLoggerH.h"

struct CConfigH;

struct TrackerEntry {
    std::uint32_t order; // output number before idOffset; 0: not output
    Matrix4 offset;
    Matrix4 rotation;
    Matrix4 transform;    // always combineTransform(rotation, offset)
    float translation[3]; // feet, added after the transforms
    bool offsetSet;
    bool rotationSet;
    bool translationSet;
};

class CTraCommonH {
public:
    static constexpr std::size_t calibLibrarySize = 256;

    explicit CTraCommonH(const CLoggerH* logger = nullptr);
    ~CTraCommonH();

    CTraCommonH(const CTraCommonH&) = delete;
    CTraCommonH& operator=(const CTraCommonH&) = delete;

    bool createEntries(std::uint32_t count);
    // index counts from 1; null sources reset the field to its default.
    bool setEntry(std::uint32_t index, std::uint32_t order, const Matrix4* offset,
                  const Matrix4* rotation, const float* translation);
    bool parseOptions(CConfigH* config);
    bool printTransforms(bool printCave);
    bool printTransforms() { return printTransforms(true); }

    // The caller's UpdateMask: four bytes, big-endian bit n-1 for tracker ID n.
    static bool clearUpdateMask(std::uint8_t* mask);
    static bool setUpdateMaskBit(std::uint8_t* mask, std::uint32_t id);

    // The calibration arguments as the library's init takes them.
    std::vector<const char*> calibArgv() const;
    std::uint32_t calibArgCount() const { return static_cast<std::uint32_t>(calibArgs.size()); }

    const CLoggerH& log() const { return *logger; }

    // Set by the device right after construction (inputConnector, trackerCount,
    // caveCoordinates) and after the options (idOffset); read by the receive cycle.
    std::uint32_t entryCount = 0;
    std::unique_ptr<TrackerEntry[]> lookup;
    bool inputConnector = true;
    Matrix4 transmitterOffset;
    Matrix4 transmitterRotation;
    Matrix4 transmitterTransform;
    bool transmitterOffsetSet = false;
    bool transmitterRotationSet = false;
    bool caveCoordinates = false;
    std::uint32_t trackerCount = 0;
    std::uint32_t idOffset = 0;
    std::unique_ptr<CCalibH> calib;
    char calibLibrary[calibLibrarySize] = {};
    std::vector<std::string> calibArgs;

private:
    std::unique_ptr<CLoggerH> logger; // own copy, debug class 3
};
