// Win32 implementation of the platform layer's network part: interface addresses,
// the machine's name and listening sockets. A file apart from platform_win32.cpp,
// so that the plug-in, which needs none of it, does not import the IP helper
// library.
#include "platform.h"
#include "utf16_win32.h"

// winsock2.h must come before windows.h.
#include <winsock2.h>

#include <iphlpapi.h>
#include <windows.h>
#include <ws2tcpip.h>

namespace platform {

namespace {

// The unicast address `address` as text; empty for a loopback address, an IPv6
// address unless `withIPv6`, and a link-local one.
std::string unicastAddress(const SOCKET_ADDRESS& address, bool withIPv6) {
    char text[INET6_ADDRSTRLEN] = {};
    const int family = address.lpSockaddr->sa_family;
    if (family == AF_INET) {
        const IN_ADDR& ip = reinterpret_cast<const sockaddr_in*>(address.lpSockaddr)->sin_addr;
        if (ip.S_un.S_un_b.s_b1 != 127) {
            inet_ntop(AF_INET, &ip, text, sizeof text);
        }
    } else if (family == AF_INET6 && withIPv6) {
        const IN6_ADDR& ip = reinterpret_cast<const sockaddr_in6*>(address.lpSockaddr)->sin6_addr;
        if (!IN6_IS_ADDR_LINKLOCAL(&ip) && !IN6_IS_ADDR_LOOPBACK(&ip)) {
            inet_ntop(AF_INET6, &ip, text, sizeof text);
        }
    }
    return text;
}

} // namespace

std::vector<std::string> interfaceAddresses(bool withIPv6) {
    std::vector<std::string> addresses;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    // The size the system asks for can grow between two calls.
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result =
            GetAdaptersAddresses(withIPv6 ? AF_UNSPEC : AF_INET, flags, nullptr,
                                 reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR) {
        return addresses;
    }
    for (const IP_ADAPTER_ADDRESSES* adapter =
             reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
         adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
             unicast != nullptr; unicast = unicast->Next) {
            std::string text = unicastAddress(unicast->Address, withIPv6);
            if (!text.empty()) {
                addresses.push_back(std::move(text));
            }
        }
    }
    return addresses;
}

std::string machineName() {
    DWORD size = 0;
    GetComputerNameExW(ComputerNameDnsHostname, nullptr, &size);
    std::wstring name(size + 1, L'\0');
    if (size == 0 || !GetComputerNameExW(ComputerNameDnsHostname, &name[0], &size)) {
        return {};
    }
    return narrow(name.c_str());
}

// A plain bind already takes a port back past the old connections' close on Win32;
// SO_REUSEADDR would let another program take the port from under the viewer.
bool reclaimPortAtOnce(SocketHandle) {
    return true;
}

} // namespace platform
