#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The settings file's text encoding: the system's ANSI code page on Windows,
// code page 936 (GBK) elsewhere. No byte-order mark is read or written.

// No ANSI code page takes more than this many bytes for one character, so
// the first n characters of a text lie within its first n times this
// many bytes.
inline constexpr std::size_t kMaxBytesPerCharacter = 4;

// Decodes file bytes into text, replacing what it held; one text reused
// for many lines saves allocating one per line. A byte sequence the code
// page does not define becomes U+FFFD (one per undecodable byte), so
// decoding never fails.
void DecodeSettingsText(std::string_view bytes, std::wstring& text);

inline std::wstring DecodeSettingsText(std::string_view bytes) {
    std::wstring text;
    DecodeSettingsText(bytes, text);
    return text;
}

// Encodes text for the file. A character the code page cannot hold becomes
// "?", so encoding never fails.
std::string EncodeSettingsText(std::wstring_view text);
