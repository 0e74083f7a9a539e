// POSIX implementation of the platform layer's network part: interface addresses,
// the machine's name and listening sockets.
#include "platform.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The address of `entry` as text; empty for an interface that is down or loopback,
// an IPv6 address unless `withIPv6`, and a link-local one.
std::string interfaceAddress(const ifaddrs& entry, bool withIPv6) {
    if (entry.ifa_addr == nullptr || (entry.ifa_flags & IFF_UP) == 0 ||
        (entry.ifa_flags & IFF_LOOPBACK) != 0) {
        return {};
    }
    char text[INET6_ADDRSTRLEN] = {};
    const int family = entry.ifa_addr->sa_family;
    if (family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(entry.ifa_addr)->sin_addr, text,
                  sizeof text);
    } else if (family == AF_INET6 && withIPv6) {
        const in6_addr& ip = reinterpret_cast<const sockaddr_in6*>(entry.ifa_addr)->sin6_addr;
        if (!IN6_IS_ADDR_LINKLOCAL(&ip)) {
            inet_ntop(AF_INET6, &ip, text, sizeof text);
        }
    }
    return text;
}

} // namespace

std::vector<std::string> interfaceAddresses(bool withIPv6) {
    std::vector<std::string> addresses;
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        return addresses; // GCOVR_EXCL_LINE: only out of memory or descriptors
    }
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        std::string text = interfaceAddress(*entry, withIPv6);
        if (!text.empty()) {
            addresses.push_back(std::move(text));
        }
    }
    freeifaddrs(interfaces);
    return addresses;
}

std::string machineName() {
    char name[256] = {};
    // A name that fills the space may lack its end: none rather than a piece.
    if (gethostname(name, sizeof name - 1) != 0 || name[sizeof name - 2] != '\0') {
        return {}; // GCOVR_EXCL_LINE: Linux keeps host names to 64 bytes
    }
    return name;
}

// Address reuse lets a socket bind while connections of the port's last listener
// wait out their close; another listener on the port still makes bind fail.
bool reclaimPortAtOnce(SocketHandle socket) {
    const int yes = 1;
    return setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0;
}

} // namespace platform
