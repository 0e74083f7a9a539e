// The viewer's routes and its refusals.
#include "host/view/ViewRequest.h"

#include <boost/asio/ip/address.hpp>

#include <algorithm>
#include <cctype>

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

// The name of a Host field, without its port; false when the port is not digits
// or an IPv6 address is not in brackets.
bool hostName(const std::string& host, std::string& name) {
    const bool bracketed = !host.empty() && host.front() == '[';
    const std::size_t nameEnd = bracketed ? host.find(']') : host.find(':');
    if (nameEnd == std::string::npos) {
        name = host;
        return !bracketed;
    }
    const std::size_t portStart = bracketed ? nameEnd + 1 : nameEnd;
    const std::string port = host.substr(portStart);
    if (!port.empty() && (port[0] != ':' || port.size() == 1 ||
                          port.find_first_not_of("0123456789", 1) != std::string::npos)) {
        return false;
    }
    name = bracketed ? host.substr(1, nameEnd - 1) : host.substr(0, nameEnd);
    return true;
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Whether `name` and `local` are the same address, however written (an IPv4
// address mapped into IPv6 is the IPv4 one).
bool sameAddress(const std::string& name, const std::string& local) {
    const auto plain = [](const std::string& text, boost::asio::ip::address& address) {
        boost::system::error_code error;
        address = boost::asio::ip::make_address(text, error);
        if (!error && address.is_v6() && address.to_v6().is_v4_mapped()) {
            address = boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, address.to_v6());
        }
        return !error;
    };
    boost::asio::ip::address named;
    boost::asio::ip::address ours;
    return plain(name, named) && plain(local, ours) && named == ours;
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

bool viewHostServed(const std::string& host, const std::string& local, const std::string& machine) {
    std::string name;
    if (!hostName(host, name) || name.empty()) {
        return false;
    }
    // A name may end in the root's dot.
    if (name.back() == '.') {
        name.pop_back();
    }
    return sameName(name, "localhost") || (!machine.empty() && sameName(name, machine)) ||
           sameAddress(name, local);
}

int unreadableRequestStatus(const char* received, std::size_t size) {
    const char* const end = received + size;
    static const char crlf[] = "\r\n";
    const char* const lineEnd = std::search(received, end, crlf, crlf + 2);
    const std::size_t line = static_cast<std::size_t>(lineEnd - received) + 2;
    return line > viewRequestLineLimit ? 414 : 400;
}
