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
#include "support/OptionReader.h"

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

// What the owner decides about its table before the options are read. The
// defaults are those of a fresh table.
struct TrackerTableSetup {
    bool inputConnector = true;     // refuses the order option, honours the CAVE option
    std::uint32_t trackerCount = 0; // trackers the owner delivers; caps the order option
    bool caveCoordinates = false;   // until a CAVE option says otherwise
};

class CTraCommonH {
public:
    static constexpr std::size_t calibLibraryMax = 255; // characters of a library name

    explicit CTraCommonH(const CLoggerH* logger = nullptr, const TrackerTableSetup& setup = {});
    ~CTraCommonH();

    CTraCommonH(const CTraCommonH&) = delete;
    CTraCommonH& operator=(const CTraCommonH&) = delete;

    bool createEntries(std::uint32_t count);
    // index counts from 1; null sources reset the field to its default.
    bool setEntry(std::uint32_t index, std::uint32_t order, const Matrix4* offset,
                  const Matrix4* rotation, const float* translation);
    // Applies the transform options; problems are reported through the table's logger
    // and, when `collected` is given, kept there too.
    bool parseOptions(CConfigH* config, std::vector<OptionProblem>* collected = nullptr);
    // Set by the owner once the options are read; the table is only read afterwards.
    void setIdOffset(std::uint32_t offset) { outputIdOffset = offset; }
    bool printTransforms(bool printCave) const;
    bool printTransforms() const { return printTransforms(true); }

    // The caller's UpdateMask: four bytes, big-endian bit n-1 for tracker ID n.
    static bool clearUpdateMask(std::uint8_t* mask);
    static bool setUpdateMaskBit(std::uint8_t* mask, std::uint32_t id);

    const CLoggerH& log() const { return *logger; }
    bool inputConnector() const { return setup.inputConnector; }
    std::uint32_t trackerCount() const { return setup.trackerCount; }
    bool caveCoordinates() const { return setup.caveCoordinates; }
    std::uint32_t idOffset() const { return outputIdOffset; }
    std::uint32_t entryCount() const { return entries; }
    // Real tracker `realId` (from 1, at most entryCount()).
    const TrackerEntry& entry(std::uint32_t realId) const { return lookup[realId - 1]; }
    bool hasEntries() const { return lookup != nullptr; }

    const Matrix4& transmitterOffset() const { return transmitter.offset; }
    const Matrix4& transmitterRotation() const { return transmitter.rotation; }
    const Matrix4& transmitterTransform() const { return transmitter.transform; }
    bool transmitterOffsetSet() const { return transmitter.offsetSet; }
    bool transmitterRotationSet() const { return transmitter.rotationSet; }

    // The calibration library, null when none is configured.
    CCalibH* calib() const { return calibration.get(); }
    const std::string& calibLibrary() const { return calibName; }
    const std::vector<std::string>& calibArgs() const { return calibArguments; }

private:
    friend struct TransformOptions; // the option readers fill the table

    struct Transmitter {
        Matrix4 offset;
        Matrix4 rotation;
        Matrix4 transform; // always combineTransform(rotation, offset)
        bool offsetSet = false;
        bool rotationSet = false;
    };

    std::unique_ptr<CLoggerH> logger; // own copy, debug class 3
    TrackerTableSetup setup;          // caveCoordinates changes with the CAVE option
    std::uint32_t entries = 0;
    std::unique_ptr<TrackerEntry[]> lookup;
    Transmitter transmitter;
    std::uint32_t outputIdOffset = 0;
    std::unique_ptr<CCalibH> calibration;
    std::string calibName;                   // as last configured
    std::vector<std::string> calibArguments; // handed to the library's init
};
