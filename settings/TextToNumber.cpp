#include "TextToNumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "TextLines.h"

namespace {

// A decimal number as written, kept exactly: the value is
// 0.d1d2d3... × 10^pointPos with d1 the first significant digit, so no
// binary floating point (and no locale) is ever involved.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    std::int64_t pointPos = 0;
};

// Any exponent beyond this already puts the value far outside every range
// handled here, or rounds it to zero, so larger ones are clamped to it.
constexpr std::int64_t kExponentClamp = 1'000'000'000'000;

// A magnitude of 10^18 or more is beyond every range handled here.
constexpr std::int64_t kMaxIntegerDigits = 18;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Drops leading zeros (moving the point) and trailing zeros (no effect on
// the value), so that digits is empty exactly when the value is zero.
void Normalize(DecimalNumber& number) {
    const auto firstSignificant = number.digits.find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
        number.digits.clear();
        number.pointPos = 0;
        return;
    }
    number.digits.erase(0, firstSignificant);
    number.pointPos -= static_cast<std::int64_t>(firstSignificant);
    number.digits.erase(number.digits.find_last_not_of('0') + 1);
}

// The number rounded to the nearest integer, halves to the even neighbour;
// nothing when the rounded value lies outside minValue..maxValue.
std::optional<std::int64_t> RoundToRange(const DecimalNumber& number, std::int64_t minValue,
                                         std::int64_t maxValue) {
    if (number.digits.empty()) {
        return 0;
    }
    if (number.pointPos > kMaxIntegerDigits) {
        return std::nullopt;
    }
    const auto integerDigits = static_cast<std::size_t>(std::max<std::int64_t>(number.pointPos, 0));
    std::int64_t magnitude = 0;
    for (std::size_t i = 0; i < integerDigits; ++i) {
        const char digit = i < number.digits.size() ? number.digits[i] : '0';
        magnitude = magnitude * 10 + (digit - '0');
    }
    // Below 0.1 (point before the first significant digit) nothing rounds up.
    if (number.pointPos >= 0 && integerDigits < number.digits.size()) {
        const char firstFraction = number.digits[integerDigits];
        const bool moreFraction = integerDigits + 1 < number.digits.size();
        const bool odd = magnitude % 2 != 0;
        if (firstFraction > '5' || (firstFraction == '5' && (moreFraction || odd))) {
            ++magnitude;
        }
    }
    const std::int64_t value = number.negative ? -magnitude : magnitude;
    if (value < minValue || value > maxValue) {
        return std::nullopt;
    }
    return value;
}

// Reads an optional sign at pos.
bool ReadSign(std::wstring_view text, std::size_t& pos) {
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+')) {
        return text[pos++] == L'-';
    }
    return false;
}

// Reads digits with at most one "." among them into number, starting at
// pos and stopping at the first character that does not belong. Returns
// whether at least one digit was read.
bool ReadMantissa(std::wstring_view text, std::size_t& pos, DecimalNumber& number) {
    bool seenPoint = false;
    bool seenDigit = false;
    for (; pos < text.size(); ++pos) {
        const wchar_t c = text[pos];
        if (IsDigit(c)) {
            number.digits.push_back(static_cast<char>(c));
            if (!seenPoint) {
                ++number.pointPos;
            }
            seenDigit = true;
        } else if (c == L'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    return seenDigit;
}

// Reads an exponent ("E" or "D", either case, an optional sign, digits) at
// pos if one is there; a letter without digits after it counts as zero.
std::int64_t ReadExponent(std::wstring_view text, std::size_t& pos) {
    if (pos >= text.size() ||
        (text[pos] != L'E' && text[pos] != L'e' && text[pos] != L'D' && text[pos] != L'd')) {
        return 0;
    }
    ++pos;
    const bool negative = ReadSign(text, pos);
    std::int64_t exponent = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        exponent = std::min(exponent * 10 + (text[pos] - L'0'), kExponentClamp);
    }
    return negative ? -exponent : exponent;
}

// Spaces, tabs and line feeds are ignored wherever they stand.
std::wstring WithoutBlanks(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        if (c != L' ' && c != L'\t' && c != L'\n') {
            result.push_back(c);
        }
    }
    return result;
}

// Reads like the classic BASIC Val: optional sign, digits with one optional
// ".", then an optional exponent written with E or D. Reading stops at the
// first character that does not fit; hex and octal prefixes are not
// recognised. Nothing when the text does not begin with a number.
std::optional<DecimalNumber> LeadingNumber(std::wstring_view text) {
    const std::wstring compact = WithoutBlanks(text);
    std::size_t pos = 0;
    DecimalNumber number;
    number.negative = ReadSign(compact, pos);
    if (!ReadMantissa(compact, pos, number)) {
        return std::nullopt;
    }
    number.pointPos += ReadExponent(compact, pos);
    Normalize(number);
    return number;
}

template <typename Integer>
Integer LeadingInteger(std::wstring_view text) {
    const std::optional<DecimalNumber> number = LeadingNumber(text);
    if (!number) {
        return 0;
    }
    return static_cast<Integer>(RoundToRange(*number, std::numeric_limits<Integer>::min(),
                                             std::numeric_limits<Integer>::max())
                                    .value_or(0));
}

// The nearest double, through the locale-independent std::from_chars.
double ToDouble(const DecimalNumber& number) {
    if (number.digits.empty()) {
        return 0;
    }
    const std::string text =
        (number.negative ? "-0." : "0.") + number.digits + "e" +
        std::to_string(std::clamp<std::int64_t>(number.pointPos, -99999, 99999));
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

std::int16_t OffsetFromLabel(std::wstring_view caption) {
    return LeadingInteger<std::int16_t>(caption);
}

std::int16_t AutoLoadSlotFromValue(std::wstring_view value) {
    return LeadingInteger<std::int16_t>(value);
}

std::int32_t PanelModeForOpening(std::wstring_view tag) {
    return LeadingInteger<std::int32_t>(tag);
}

double PanelModeForSlotAction(std::wstring_view tag) {
    const std::optional<DecimalNumber> number = LeadingNumber(tag);
    return number ? ToDouble(*number) : 0;
}

// The whole field must be the number: spaces (U+0020 only) may surround it,
// but anything else after it makes it no number. "5." and ".5" are
// numbers, "." is not.
std::optional<std::int32_t> PresetOffsetFromField(std::wstring_view field) {
    const std::wstring_view text = TrimSpaces(field);
    std::size_t pos = 0;
    DecimalNumber number;
    number.negative = ReadSign(text, pos);
    if (!ReadMantissa(text, pos, number) || pos != text.size()) {
        return std::nullopt;
    }
    Normalize(number);
    const auto value = RoundToRange(number, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}
