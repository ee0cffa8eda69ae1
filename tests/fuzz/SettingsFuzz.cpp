// Input: key length, value length (a byte each), key, value, file bytes.
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

bool HasOnlyCrLfLineEnds(std::string_view text) {
    std::size_t cr = text.find('\r'), lf = text.find('\n');
    for (; cr != text.npos && lf == cr + 1; lf = text.find('\n', lf + 1)) {
        cr = text.find('\r', cr + 1);
    }
    return cr == text.npos && lf == text.npos && text.ends_with("\r\n");
}

bool Mentions(std::string_view bytes, std::wstring_view key) {
    const auto same = [](char a, wchar_t b) { return std::toupper(a & 0xFF) == std::toupper(b); };
    return std::search(bytes.begin(), bytes.end(), key.begin(), key.end(), same) != bytes.end();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (size < 2) {
        return 0;
    }
    const std::string_view key = input.substr(2, data[0]),
                           value = input.substr(2 + key.size(), data[1]);
    const std::string_view bytes = input.substr(2 + key.size() + value.size());
    const std::wstring keyText = DecodeSettingsText(key), valueText = DecodeSettingsText(value);
    const std::wstring found = INIFileModule1::ValueInBytes(bytes, keyText);
    AutoLoadSlotFromValue(found);
    PanelModeForSlotAction(found);
    PresetOffsetFromField(found);
    const auto rewritten = INIFileModule1::RewrittenBytes(bytes, keyText, valueText);
    const auto letterOrDigit = [](wchar_t c) { return c < 0x80 && std::isalnum(c); };
    const auto printable = [](wchar_t c) { return c >= 0x20 && c < 0x7F; };
    const bool plain = !keyText.empty() &&
                       std::all_of(keyText.begin(), keyText.end(), letterOrDigit) &&
                       std::all_of(valueText.begin(), valueText.end(), printable);
    const bool readsBack =
        !plain || Mentions(bytes, keyText) ||
        (rewritten && INIFileModule1::ValueInBytes(*rewritten, keyText) == valueText);
    if ((rewritten && !HasOnlyCrLfLineEnds(*rewritten)) || !readsBack) {
        std::abort();
    }
    return 0;
}
