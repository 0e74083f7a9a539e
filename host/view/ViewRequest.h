// What the viewer makes of a request: which of its fixed routes it asks for, whether
// the name it was sent to is this machine's, and why a request it could not read is
// refused. No URL maps to a file.
#pragma once

#include <cstddef>
#include <string>

enum class ViewRoute { page, threeScript, orbitControlsScript, events, notFound, tooLong };

// A request line (method, target, version and its line end) longer than this is
// refused with 414.
constexpr std::size_t viewRequestLineLimit = 8192;

// The route that `method` (GET or HEAD; anything else is not found) and `target`
// of an HTTP/1.x request ask for: the target's path, its %-escapes decoded and its
// query or fragment left out, matched exactly; "..", a doubled slash or a bad escape
// matches nothing. tooLong when the request line is over viewRequestLineLimit.
ViewRoute viewRoute(const std::string& method, const std::string& target);

// Whether `host`, a request's Host field, names this viewer: `local` (the address
// the request came to), localhost, or `machine` (this machine's name), each with a
// port or without, names matched in any case. A name that only resolves to this
// machine (a page elsewhere may make one) is not the viewer's.
bool viewHostServed(const std::string& host, const std::string& local, const std::string& machine);

// The status for a request that could not be read, from the bytes received: 414
// when its request line is longer than viewRequestLineLimit, 400 otherwise.
int unreadableRequestStatus(const char* received, std::size_t size);
