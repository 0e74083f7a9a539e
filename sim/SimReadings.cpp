// The configuration and reading blocks of a simulated sensor.
#include "sim/SimReadings.h"

#include <cstring>

namespace {

constexpr std::size_t rateByte = 1;

void putLe16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(std::uint8_t* at, std::uint32_t value) {
    putLe16(at, value);
    putLe16(at + 2, value >> 16);
}

} // namespace

ConfigBlock powerOnConfig(std::int32_t deviceIndex, std::uint16_t port) {
    ConfigBlock block{};
    block[0] = 2;
    block[rateByte] = 100;
    block[2] = 1;
    block[3] = 4;
    block[bird::resetFlagByte] = 1;
    block[6] = static_cast<std::uint8_t>(port);
    block[7] = static_cast<std::uint8_t>(deviceIndex);
    putLe16(&block[bird::referenceFrameByte], 0x0101);
    block[10] = 3;
    block[11] = 2;
    putLe32(&block[12], 51000u + port);
    putLe16(&block[16], 1152);
    return block;
}

std::uint8_t measurementRate(const ConfigBlock& config) {
    return config[rateByte];
}

void fillReading(const float angles[3], double streamedSeconds, std::uint8_t rateHz,
                 std::uint8_t (&block)[bird::readingSize]) {
    const std::uint32_t counters[2] = {
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(streamedSeconds * rateHz)),
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(streamedSeconds * 1000.0))};
    std::memset(block, 0, sizeof block);
    std::memcpy(block, angles, 3 * sizeof(float));
    std::memcpy(block + 3 * sizeof(float), counters, sizeof counters);
}
