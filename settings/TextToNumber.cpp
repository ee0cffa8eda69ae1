#include "TextToNumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
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

// Reads text from its start. The readings that take the number at the
// start of a text pass over spaces, tabs and line feeds wherever they
// stand, without copying the text.
class TextReader {
public:
    TextReader(std::wstring_view text, bool skipBlanks) : text_(text), skipBlanks_(skipBlanks) {
        SkipBlanks();
    }
    bool AtEnd() const { return pos_ == text_.size(); }
    // The next character; "\0", which no number holds, at the end.
    wchar_t Next() const { return AtEnd() ? L'\0' : text_[pos_]; }
    void Advance() {
        ++pos_;
        SkipBlanks();
    }

private:
    void SkipBlanks() {
        while (skipBlanks_ && !AtEnd() && (Next() == L' ' || Next() == L'\t' || Next() == L'\n')) {
            ++pos_;
        }
    }

    std::wstring_view text_;
    bool skipBlanks_;
    std::size_t pos_ = 0;
};

// Reads an optional sign.
bool ReadSign(TextReader& text) {
    const wchar_t c = text.Next();
    if (c == L'-' || c == L'+') {
        text.Advance();
    }
    return c == L'-';
}

// Reads digits with at most one "." among them into number, stopping at
// the first character that does not belong. Returns whether at least one
// digit was read.
bool ReadMantissa(TextReader& text, DecimalNumber& number) {
    bool seenPoint = false;
    bool seenDigit = false;
    for (;; text.Advance()) {
        const wchar_t c = text.Next();
        if (IsDigit(c)) {
            number.digits.push_back(static_cast<char>(c));
            if (!seenPoint) {
                ++number.pointPos;
            }
            seenDigit = true;
        } else if (c == L'.' && !seenPoint) {
            seenPoint = true;
        } else {
            return seenDigit;
        }
    }
}

// Reads an exponent ("E" or "D", either case, an optional sign, digits) if
// one is there; a letter without digits after it counts as zero.
std::int64_t ReadExponent(TextReader& text) {
    const wchar_t letter = text.Next();
    if (letter != L'E' && letter != L'e' && letter != L'D' && letter != L'd') {
        return 0;
    }
    text.Advance();
    const bool negative = ReadSign(text);
    std::int64_t exponent = 0;
    for (; IsDigit(text.Next()); text.Advance()) {
        exponent = std::min(exponent * 10 + (text.Next() - L'0'), kExponentClamp);
    }
    return negative ? -exponent : exponent;
}

// Reads like the classic BASIC Val: optional sign, digits with one optional
// ".", then an optional exponent written with E or D. Reading stops at the
// first character that does not fit; hex and octal prefixes are not
// recognised. Nothing when the text does not begin with a number.
std::optional<DecimalNumber> LeadingNumber(std::wstring_view text) {
    TextReader reader(text, true);
    DecimalNumber number;
    number.negative = ReadSign(reader);
    if (!ReadMantissa(reader, number)) {
        return std::nullopt;
    }
    number.pointPos += ReadExponent(reader);
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
    std::string text = number.negative ? "-0." : "0.";
    text.reserve(text.size() + number.digits.size() + 8);
    text += number.digits;
    text += 'e';
    char exponent[8]{};
    const std::int64_t clamped = std::clamp<std::int64_t>(number.pointPos, -99999, 99999);
    text.append(exponent, std::to_chars(std::begin(exponent), std::end(exponent), clamped).ptr);
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
    TextReader text(TrimSpaces(field), false);
    DecimalNumber number;
    number.negative = ReadSign(text);
    if (!ReadMantissa(text, number) || !text.AtEnd()) {
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
