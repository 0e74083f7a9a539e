// How many columns a terminal gives a UTF-8 text: two for each wide (East Asian)
// character, none for a combining mark, one for anything else, a byte that begins
// no character included. Names are padded and cut by these, not by their bytes.
#pragma once

#include <cstddef>
#include <string>

// The columns `text` takes on a terminal.
std::size_t textColumns(const std::string& text);

// `text` cut after whole characters to at most `columns` columns.
std::string cutToColumns(const std::string& text, std::size_t columns);

// `text` followed by blanks up to `columns` columns (unchanged when it takes more).
std::string padToColumns(const std::string& text, std::size_t columns);
