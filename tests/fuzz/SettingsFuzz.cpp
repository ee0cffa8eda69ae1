// Input: key length, value length (a byte each), key, value, file bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "INIFileModule1.h"
#include "SettingsText.h"
#include "TextLines.h"
#include "TextToNumber.h"

bool HasOnlyCrLfLineEnds(std::string_view text) {
    std::size_t cr = text.find('\r'), lf = text.find('\n');
    for (; cr != text.npos && lf == cr + 1; lf = text.find('\n', lf + 1)) {
        cr = text.find('\r', cr + 1);
    }
    return cr == text.npos && lf == text.npos && text.ends_with("\r\n");
}

// Whether the reader can find key=value as the writer puts it: a key
// without "=", a space at its end or ";" at its start, in text that the
// code page holds.
bool ReadableEntry(std::wstring_view key, std::wstring_view value) {
    const auto held = [](std::wstring_view text) {
        return DecodeSettingsText(EncodeSettingsText(text)) == text;
    };
    return key.find(L'=') == key.npos && !key.ends_with(L' ') &&
           !TrimSpaces(key).starts_with(L';') && held(key) && held(value);
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
    const bool readsBack = !rewritten || !ReadableEntry(keyText, valueText) ||
                           INIFileModule1::ValueInBytes(*rewritten, keyText) == valueText;
    if ((rewritten && !HasOnlyCrLfLineEnds(*rewritten)) || !readsBack) {
        std::abort();
    }
    return 0;
}
