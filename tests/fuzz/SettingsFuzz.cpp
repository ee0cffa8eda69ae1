// Fuzz target for the settings file: the reader and the writer on
// arbitrary file bytes, keys and values, through the same code that reads
// and rewrites the file, and the round trip of a plain key. Input: one byte
// key length, one byte value length, the key, the value (both in the
// settings text encoding), then the file's bytes.
#include <algorithm>
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

std::string_view Take(std::string_view& data, std::size_t size) {
    const std::string_view part = data.substr(0, size);
    data.remove_prefix(part.size());
    return part;
}

bool HasOnlyCrLfLineEnds(std::string_view bytes) {
    for (std::size_t i = bytes.find_first_of("\r\n"); i != std::string_view::npos;
         i = bytes.find_first_of("\r\n", i + 2)) {
        if (bytes.substr(i, 2) != "\r\n") {
            return false;
        }
    }
    return bytes.empty() || bytes.ends_with("\r\n");
}

// The key's bytes cut to letters, digits and "_" (never empty), or the
// value's to printable ASCII: a key the writer appends or replaces, and a
// value it keeps as given.
std::string Plain(std::string_view bytes, bool key) {
    std::string text;
    for (const char c : bytes) {
        const bool word =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (word || (!key && c >= 0x20 && c < 0x7F)) {
            text.push_back(c);
        }
    }
    return key && text.empty() ? "K" : text;
}

// Whether the bytes hold the ASCII key in any letter case. This covers
// every line that holds it once decoded: code page 936 decodes ASCII bytes
// as themselves, and none of its other characters upper-cases to ASCII.
bool Mentions(std::string_view bytes, std::string_view key) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return std::search(bytes.begin(), bytes.end(), key.begin(), key.end(),
                       [&](char a, char b) { return upper(a) == upper(b); }) != bytes.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t keyLength = size >= 2 ? static_cast<unsigned char>(input[0]) : 0;
    const std::size_t valueLength = size >= 2 ? static_cast<unsigned char>(input[1]) : 0;
    input.remove_prefix(size >= 2 ? 2 : 0);
    const std::string_view key = Take(input, keyLength);
    const std::string_view value = Take(input, valueLength);
    const std::string_view bytes = input;

    const std::wstring wideKey = DecodeSettingsText(key);
    const std::wstring found = INIFileModule1::ValueInBytes(bytes, wideKey);
    OffsetFromLabel(found);
    PresetOffsetFromField(found);
    PanelModeForSlotAction(found);
    const std::optional<std::string> rewritten =
        INIFileModule1::RewrittenBytes(bytes, wideKey, DecodeSettingsText(value));
    Require(!rewritten || (HasOnlyCrLfLineEnds(*rewritten) && !rewritten->empty()));

    // A plain key reads back the plain value written, unless the file
    // already holds the key somewhere the writer might not match.
    const std::string plainKey = Plain(key, true);
    if (!Mentions(bytes, plainKey)) {
        const std::wstring keyText(plainKey.begin(), plainKey.end());
        const std::string plainValue = Plain(value, false);
        const std::wstring valueText(plainValue.begin(), plainValue.end());
        const std::optional<std::string> written =
            INIFileModule1::RewrittenBytes(bytes, keyText, valueText);
        Require(written && INIFileModule1::ValueInBytes(*written, keyText) == valueText);
    }
    return 0;
}
