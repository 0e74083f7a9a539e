// Host-side option lines: builds and owns a CConfigH record and its texts.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "support/CConfigH.h"

class HostConfig {
public:
    explicit HostConfig(std::string deviceName = "tracker");

    HostConfig(const HostConfig&) = delete;
    HostConfig& operator=(const HostConfig&) = delete;

    // Appends one line; false (and nothing added) when the record is full or the
    // line has more arguments than a record line holds.
    bool add(const std::string& option, const std::vector<std::string>& args,
             std::uint32_t lineNumber = 0);

    CConfigH* record() { return config.get(); }
    const CConfigH* record() const { return config.get(); }
    const std::string& deviceName() const { return name; }

private:
    const char* keep(const std::string& text);

    std::string name;
    std::deque<std::string> texts; // stable addresses for the record's pointers
    std::unique_ptr<CConfigH> config;
};
