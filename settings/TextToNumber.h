#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Every place where the program turns text into a number, each named for
// what it reads. A fraction rounds to the nearest integer, a value exactly
// halfway going to the even neighbour.
//
// The readings of the labels, AUTOLOAD and the panel mode take the number
// at the start of the text: spaces, tabs and line feeds anywhere in it are
// ignored, "." is the decimal point, an exponent may follow with E or D
// ("2E1" is 20), reading stops at the first character that does not fit,
// and text that does not begin with a number gives 0, as does a number
// beyond the reading's range.

// The offset an offset label shows, as the apply step and the preset save
// read it back: a 16-bit integer.
std::int16_t OffsetFromLabel(std::wstring_view caption);

// The start-up slot, from the value of the key AUTOLOAD: a 16-bit integer.
std::int16_t AutoLoadSlotFromValue(std::wstring_view value);

// The panel mode (Frame2's tag) as the open action reads it: a 32-bit
// integer.
std::int32_t PanelModeForOpening(std::wstring_view tag);

// The panel mode as the slot action reads it: a floating-point number.
double PanelModeForSlotAction(std::wstring_view tag);

// One field of a preset value: a decimal number with optional spaces
// (U+0020 only) around it and an optional sign directly before the digits.
// Empty text, text that is not wholly a number ("1x", "1 2", "1e3"), and a
// number that rounds to a value outside the 32-bit range give no offset.
std::optional<std::int32_t> PresetOffsetFromField(std::wstring_view field);
