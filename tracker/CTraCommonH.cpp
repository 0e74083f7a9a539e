// Tracker table: construction, the entry table and the UpdateMask bits.
#include "CTraCommonH.h"

CTraCommonH::CTraCommonH(const CLoggerH* callerLogger, const TrackerTableSetup& setup)
    : logger(makeOwnLogger(callerLogger, "CTraCommonH", 3)), setup(setup) {
    logger->debug("CTraCommonH: \"constructor\" called.");
    zeroMatrix(&transmitter.offset);
    identityMatrix(&transmitter.rotation);
    identityMatrix(&transmitter.transform);
}

CTraCommonH::~CTraCommonH() {
    logger->debug("CTraCommonH: \"destructor\" called.");
    // The calibration handle logs through its own copy, so it may go before ours.
    calibration.reset();
}

bool CTraCommonH::createEntries(std::uint32_t count) {
    if (count == 0) {
        return false;
    }
    lookup.reset();
    entries = 0;
    lookup = std::make_unique<TrackerEntry[]>(count);
    entries = count;
    for (std::uint32_t index = 1; index <= count; ++index) {
        setEntry(index, 0, nullptr, nullptr, nullptr);
    }
    return true;
}

bool CTraCommonH::setEntry(std::uint32_t index, std::uint32_t order, const Matrix4* offset,
                           const Matrix4* rotation, const float* translation) {
    if (!lookup || index == 0 || index > entries) {
        return false;
    }
    TrackerEntry& entry = lookup[index - 1];
    entry.order = order;

    entry.offsetSet = offset != nullptr;
    if (offset != nullptr) {
        entry.offset = *offset;
    } else {
        zeroMatrix(&entry.offset);
    }

    entry.rotationSet = rotation != nullptr;
    if (rotation != nullptr) {
        entry.rotation = *rotation;
    } else {
        identityMatrix(&entry.rotation);
    }

    entry.translationSet = translation != nullptr;
    for (int i = 0; i < 3; ++i) {
        entry.translation[i] = translation != nullptr ? translation[i] : 0.0f;
    }

    entry.transform = combineTransform(entry.rotation, entry.offset);
    return true;
}

bool CTraCommonH::clearUpdateMask(std::uint8_t* mask) {
    if (mask == nullptr) {
        return false;
    }
    mask[0] = mask[1] = mask[2] = mask[3] = 0;
    return true;
}

bool CTraCommonH::setUpdateMaskBit(std::uint8_t* mask, std::uint32_t id) {
    if (mask == nullptr || id == 0 || id > 32) {
        return false;
    }
    // Network byte order: byte 3 holds IDs 1 to 8, byte 0 IDs 25 to 32.
    const std::uint32_t bit = id - 1;
    mask[3 - bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    return true;
}
