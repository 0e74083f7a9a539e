// The columns a terminal gives UTF-8 text.
#include "host/report/TextColumns.h"

#include <cstdint>

namespace {

struct Range {
    std::uint32_t first;
    std::uint32_t last;
};

// Characters a terminal draws two columns wide: Hangul Jamo, the CJK blocks, kana,
// Hangul syllables, compatibility ideographs, full-width forms and pictographs.
constexpr Range wide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Characters drawn on the one before: combining marks, zero-width spaces and joiners,
// variation selectors.
constexpr Range zero[] = {
    {0x0300, 0x036F}, {0x200B, 0x200F}, {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F},
};

bool within(const Range* begin, const Range* end, std::uint32_t code) {
    for (const Range* range = begin; range != end; ++range) {
        if (code >= range->first && code <= range->last) {
            return true;
        }
    }
    return false;
}

// The character at `at`: its bytes and columns. A byte that begins no whole
// character is one of its own, one column wide.
struct Character {
    std::size_t bytes;
    std::size_t columns;
};

Character characterAt(const std::string& text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead >= 0xF0 && lead < 0xF8   ? 4
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 1;
    if (length == 1 || at + length > text.size()) {
        return {1, 1};
    }
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return {1, 1};
        }
        code = (code << 6) | (next & 0x3F);
    }
    const std::size_t columns = within(std::begin(wide), std::end(wide), code)   ? 2
                                : within(std::begin(zero), std::end(zero), code) ? 0
                                                                                 : 1;
    return {length, columns};
}

} // namespace

std::size_t textColumns(const std::string& text) {
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = characterAt(text, at);
        columns += character.columns;
        at += character.bytes;
    }
    return columns;
}

std::string cutToColumns(const std::string& text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const Character character = characterAt(text, at);
        if (used + character.columns > columns) {
            break;
        }
        used += character.columns;
        at += character.bytes;
    }
    return text.substr(0, at);
}

std::string padToColumns(const std::string& text, std::size_t columns) {
    const std::size_t used = textColumns(text);
    return used >= columns ? text : text + std::string(columns - used, ' ');
}
