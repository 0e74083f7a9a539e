// The viewer's routes and its refusals.
#include "host/view/ViewRequest.h"

#include <algorithm>

namespace {

int hexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// The path with its %-escapes decoded; false on a bad escape.
bool decodedPath(const std::string& path, std::string& decoded) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            decoded += path[i];
            continue;
        }
        const int high = i + 2 < path.size() ? hexDigit(path[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(path[i + 2]) : -1;
        if (low < 0) {
            return false;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

} // namespace

ViewRoute viewRoute(const std::string& method, const std::string& target) {
    // "GET " target " HTTP/1.1\r\n"
    if (method.size() + target.size() + 12 > viewRequestLineLimit) {
        return ViewRoute::tooLong;
    }
    std::string path;
    if ((method != "GET" && method != "HEAD") ||
        !decodedPath(target.substr(0, target.find_first_of("?#")), path)) {
        return ViewRoute::notFound;
    }
    const struct {
        const char* path;
        ViewRoute route;
    } routes[] = {{"/", ViewRoute::page},
                  {"/three.min.js", ViewRoute::threeScript},
                  {"/OrbitControls.js", ViewRoute::orbitControlsScript},
                  {"/events", ViewRoute::events}};
    for (const auto& route : routes) {
        if (path == route.path) {
            return route.route;
        }
    }
    return ViewRoute::notFound;
}

int unreadableRequestStatus(const char* received, std::size_t size) {
    const char* const end = received + size;
    static const char crlf[] = "\r\n";
    const char* const lineEnd = std::search(received, end, crlf, crlf + 2);
    const std::size_t line = static_cast<std::size_t>(lineEnd - received) + 2;
    return line > viewRequestLineLimit ? 414 : 400;
}
