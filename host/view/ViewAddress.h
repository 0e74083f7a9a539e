// Where the viewer listens: the text of --view, and whether an address keeps the
// viewer on this machine.
#pragma once

#include <string>

// --view: where the viewer listens.
struct ViewSettings {
    std::string address = "127.0.0.1";
    int port = -1; // -1: no viewer; 0: any free port
};

// Reads [ADDRESS:]PORT, an IPv6 address in brackets ([::1]:8080), a port from 0 to
// 65535. `address` is set only when the text names one. A URL (http://...) is no
// address. False when the text is not of that form.
bool parseViewAddress(const std::string& text, std::string& address, int& port);

// True for the loopback addresses (127.0.0.0/8, ::1, localhost), which no other
// machine reaches.
bool isLoopbackAddress(const std::string& address);
