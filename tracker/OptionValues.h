// Reading the values of option lines: decimal numbers and unit words.
#pragma once

// Reads a decimal number (optional sign, digits, fraction, exponent; no
// hexadecimal, infinity or NaN forms; text without digits reads as 0) into
// `value`. False when it reads as exactly zero and begins with a letter.
bool readOptionNumber(const char* text, float& value);

// The factor to feet of a unit word ("feet", "inches", "meters", "m", "cm", any
// letter case); false for any other word.
bool readUnitWord(const char* word, float& factor);

// Reads "yes"/"on" (true) and "no"/"off" (false) in any letter case; false for
// any other word, leaving `value` as it was.
bool readSwitchWord(const char* word, bool& value);
