#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// How the program turns text into numbers. Both rules round a fraction to
// the nearest integer, a value exactly halfway going to the even neighbour.

// The number at the start of text: spaces, tabs and line feeds anywhere in
// it are ignored, "." is the decimal point, an exponent may follow with E or
// D ("2E1" is 20), reading stops at the first character that does not fit,
// and text that does not begin with a number gives 0. A number that rounds
// to a value outside -32768..32767 also gives 0.
// Used for the offset labels and for the AUTOLOAD key.
std::int16_t LeadingNumberToInt16(std::wstring_view text);

// One field of a preset value: a decimal number with optional spaces around
// it (U+0020 only) and an optional sign directly before the digits. Empty
// text, text that is not wholly a number ("1x", "1 2", "1e3"), and numbers
// that round to a value outside the 32-bit range give no value.
std::optional<std::int32_t> PresetFieldToInt32(std::wstring_view field);
