// trackhost's own messages, on standard error: each begins with the program's name.
#pragma once

#include <iosfwd>
#include <string>

// What every message of trackhost's begins with.
constexpr char hostMessagePrefix[] = "trackhost: ";

// Begins a message on `err` and answers it for the rest: hostMessage(err) << "..." << std::endl.
std::ostream& hostMessage(std::ostream& err);
