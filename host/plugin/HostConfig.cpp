// Host-side option lines.
#include "host/plugin/HostConfig.h"

#include <cstring>

HostConfig::HostConfig(std::string deviceName)
    : name(std::move(deviceName)), config(std::make_unique<CConfigH>()) {
    std::memset(static_cast<void*>(config.get()), 0, sizeof(CConfigH));
    config->deviceName = name.c_str();
}

const char* HostConfig::keep(const std::string& text) {
    texts.push_back(text);
    return texts.back().c_str();
}

bool HostConfig::add(const std::string& option, const std::vector<std::string>& args,
                     std::uint32_t lineNumber) {
    if (config->lineCount >= CConfigH::maxLines || args.size() > ConfigLine::maxArgs) {
        return false;
    }
    ConfigLine& line = config->lines[config->lineCount];
    line.lineNumber = lineNumber != 0 ? lineNumber : config->lineCount + 1;
    line.optionName = keep(option);
    for (std::size_t i = 0; i < args.size(); ++i) {
        line.args[i] = keep(args[i]);
    }
    line.argCount = static_cast<std::uint32_t>(args.size());
    line.used = 0;
    ++config->lineCount;
    return true;
}
