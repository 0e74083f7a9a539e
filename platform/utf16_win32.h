// Names between UTF-8, which the platform layer takes and answers, and UTF-16,
// which the Win32 calls take: for the layer's Win32 files alone.
#pragma once

#include <string>

namespace platform {

// `text` as UTF-16; a text that is not UTF-8 is read in the ANSI code page.
std::wstring widen(const std::string& text);
// A NUL-terminated UTF-16 text as UTF-8.
std::string narrow(const wchar_t* text);

} // namespace platform
