// Host-side helpers for device tests.
#include "TestHost.h"

#include "platform/platform.h"
#include "tests/support/CaptureStdout.h"

#include <cstdio>
#include <cstring>

CLoggerH TestHost::makeStorageLogger() {
    return plainLogger("host");
}

std::int32_t hostValue(std::int32_t field) {
    return static_cast<std::int32_t>(platform::netToHost(static_cast<std::uint32_t>(field)));
}

std::int32_t netValue(std::int32_t value) {
    return static_cast<std::int32_t>(platform::hostToNet(static_cast<std::uint32_t>(value)));
}

std::uint32_t hostValue(std::uint32_t field) {
    return platform::netToHost(field);
}

namespace {

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char part[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(part, sizeof part, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += part;
    }
    return text;
}

} // namespace

std::string fieldBytes(std::int32_t field) {
    std::uint8_t bytes[4];
    std::memcpy(bytes, &field, sizeof bytes);
    return hexBytes(bytes, sizeof bytes);
}

std::string maskBytes(const std::uint8_t* mask) {
    return hexBytes(mask, 4);
}
