// Where the viewer listens.
#include "host/view/ViewAddress.h"

#include <cerrno>
#include <cstdlib>

bool parseViewAddress(const std::string& text, std::string& address, int& port) {
    const std::size_t colon = text.rfind(':');
    std::string named = colon == std::string::npos ? std::string() : text.substr(0, colon);
    if (named.size() >= 2 && named.front() == '[' && named.back() == ']') {
        named = named.substr(1, named.size() - 2);
    }
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    if (portText.empty() || (colon != std::string::npos && named.empty()) ||
        named.find_first_of("/[]") != std::string::npos) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(portText.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || value < 0 || value > 65535) {
        return false;
    }
    if (colon != std::string::npos) {
        address = named;
    }
    port = static_cast<int>(value);
    return true;
}

bool isLoopbackAddress(const std::string& address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address == "localhost" ||
           address.rfind("::ffff:127.", 0) == 0;
}
