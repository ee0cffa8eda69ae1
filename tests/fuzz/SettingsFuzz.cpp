// Fuzz target for the settings file: the reader and the writer on arbitrary
// bytes, keys and values, through the code that reads and rewrites the file.
// Input: key length, value length (one byte each), key, value, file bytes.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "INIFileModule1.h"
#include "SettingsText.h"
#include "TextToNumber.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every line ends in CR LF, and neither stands alone.
bool HasOnlyCrLfLineEnds(std::string_view text) {
    for (std::size_t lf = text.find('\n'); lf != text.npos; lf = text.find('\n', lf + 1)) {
        if (!text.substr(0, lf).ends_with('\r')) {
            return false;
        }
    }
    for (std::size_t cr = text.find('\r'); cr != text.npos; cr = text.find('\r', cr + 1)) {
        if (text.substr(cr, 2) != "\r\n") {
            return false;
        }
    }
    return text.ends_with("\r\n");
}

// Whether the bytes hold the ASCII key in any letter case: code page 936
// decodes ASCII bytes as themselves, and none of its other characters
// upper-cases to ASCII, so no line mentions the key once decoded otherwise.
bool Mentions(std::string_view bytes, std::wstring_view key) {
    return std::search(bytes.begin(), bytes.end(), key.begin(), key.end(), [](char a, wchar_t b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(b);
           }) != bytes.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t keyLength = size >= 2 ? static_cast<std::uint8_t>(input[0]) : 0;
    const std::size_t valueLength = size >= 2 ? static_cast<std::uint8_t>(input[1]) : 0;
    input.remove_prefix(std::min<std::size_t>(size, 2));
    const std::string_view key = input.substr(0, keyLength);
    input.remove_prefix(key.size());
    const std::string_view value = input.substr(0, valueLength);
    const std::string_view bytes = input.substr(value.size());

    const std::wstring keyText = DecodeSettingsText(key), valueText = DecodeSettingsText(value);
    const std::wstring found = INIFileModule1::ValueInBytes(bytes, keyText);
    OffsetFromLabel(found);
    PanelModeForSlotAction(found);
    PresetOffsetFromField(found);
    const std::optional<std::string> rewritten =
        INIFileModule1::RewrittenBytes(bytes, keyText, valueText);
    Require(!rewritten || HasOnlyCrLfLineEnds(*rewritten));

    // A key of letters and digits that the file does not mention reads back
    // a printable value as written.
    const bool plain = !keyText.empty() &&
                       std::all_of(keyText.begin(), keyText.end(),
                                   [](wchar_t c) { return c < 0x80 && std::isalnum(c); }) &&
                       std::all_of(valueText.begin(), valueText.end(),
                                   [](wchar_t c) { return c >= 0x20 && c < 0x7F; });
    if (plain && !Mentions(bytes, keyText)) {
        Require(rewritten && INIFileModule1::ValueInBytes(*rewritten, keyText) == valueText);
    }
    return 0;
}
