#include "INIFileModule1.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SettingsFile.h"
#include "SettingsText.h"
#include "TextLines.h"
#include "UpperCase.h"

namespace INIFileModule1 {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool HoldsLineBreak(std::wstring_view text) {
    return text.find_first_of(L"\r\n") != std::wstring_view::npos;
}

std::string_view WithoutLeadingSpaceBytes(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

// Spaces, ";" and "=" are single bytes in every ANSI code page and never
// part of another character, so these two can be told from the bytes.
bool IsComment(std::string_view line) {
    return WithoutLeadingSpaceBytes(line).starts_with(';');
}

bool HoldsEqualsSign(std::string_view line) {
    return line.find('=') != std::string_view::npos;
}

bool EqualUpperCased(std::wstring_view text, std::wstring_view key) {
    return std::equal(text.begin(), text.end(), key.begin(), key.end(),
                      [](wchar_t a, wchar_t b) { return ToUpperChar(a) == ToUpperChar(b); });
}

bool IsAsciiByte(char byte) {
    return static_cast<unsigned char>(byte) < 0x80;
}

// Whether a line has two characters or more. A character takes one byte
// at least and kMaxBytesPerCharacter at most, and a byte below 0x80 is a
// whole character in every ANSI code page, so only short lines that begin
// with another byte are decoded.
bool HasTwoCharacters(std::string_view line, std::wstring& scratch) {
    if (line.size() < 2) {
        return false;
    }
    if (line.size() > kMaxBytesPerCharacter || (IsAsciiByte(line[0]) && IsAsciiByte(line[1]))) {
        return true;
    }
    DecodeSettingsText(line, scratch);
    return CharacterCount(scratch) >= 2;
}

// Whether a line, upper-cased, begins with key, upper-cased, and "=". Only
// the start of a line that holds an "=" is decoded.
bool StartsWithEntry(std::string_view line, std::wstring_view key, std::wstring& scratch) {
    if (!HoldsEqualsSign(line)) {
        return false;
    }
    DecodeSettingsText(line.substr(0, (key.size() + 1) * kMaxBytesPerCharacter), scratch);
    return scratch.size() > key.size() && scratch[key.size()] == L'=' &&
           EqualUpperCased(std::wstring_view(scratch).substr(0, key.size()), key);
}

// Whether text, upper-cased, holds key, upper-cased, and "=" anywhere. Only
// "=" upper-cases to "=", so each "=" of the text is tried as the end of
// such a place; nothing is copied.
bool HoldsEntry(std::wstring_view text, std::wstring_view key) {
    for (std::size_t end = text.find(L'=', key.size()); end != std::wstring_view::npos;
         end = text.find(L'=', end + 1)) {
        if (EqualUpperCased(text.substr(end - key.size(), key.size()), key)) {
            return true;
        }
    }
    return false;
}

// Whether the reader looks into a line: one that is no comment and holds
// an "=". Only such lines are decoded.
bool MayHoldEntry(std::string_view line) {
    return !IsComment(line) && HoldsEqualsSign(line);
}

// Whether the reader takes the line for an entry of searchKey (the key
// trimmed); the line, decoded, is left in text.
bool ReadsAsEntry(std::string_view line, std::wstring_view searchKey, std::wstring& text) {
    if (!MayHoldEntry(line)) {
        return false;
    }
    DecodeSettingsText(line, text);
    return HoldsEntry(text, searchKey);
}

// Gives each key not found yet the value of the first line the reader
// takes for it, in one pass that decodes each line once at most and ends
// once every key is found. Values found stay when a later step throws.
void FindValues(std::string_view bytes, std::span<const std::wstring_view> keys,
                std::vector<std::wstring>& values, std::vector<bool>& found) {
    std::vector<std::wstring_view> searchKeys(keys.begin(), keys.end());
    std::ranges::for_each(searchKeys, [](std::wstring_view& key) { key = TrimSpaces(key); });
    auto left = std::ranges::count(found, false);
    std::wstring line;
    ByteLines lines(bytes);
    for (std::string_view lineBytes; left > 0 && lines.Next(lineBytes);) {
        if (!MayHoldEntry(lineBytes)) {
            continue;
        }
        DecodeSettingsText(lineBytes, line);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!found[i] && HoldsEntry(line, searchKeys[i])) {
                values[i].assign(line, line.find(L'=') + 1);
                found[i] = true;
                --left;
            }
        }
    }
}

}  // namespace

std::wstring ValueInBytes(std::string_view bytes, std::wstring_view key) {
    std::vector<std::wstring> value(1);
    std::vector<bool> found(1);
    FindValues(bytes, std::span(&key, 1), value, found);
    return std::move(value[0]);
}

// The new file: retained lines (two characters or more) without their
// leading spaces, matching ones replaced, each ended by CR LF. Lines kept
// unchanged keep their bytes exactly, even bytes the code page does not
// define, so a rewrite never alters text it did not mean to change.
//
// The reader finds a key anywhere in a line ("#RGB1=1,2,3", "X RGB1=1"),
// the writer only at a line's start. So that a save is what the next read
// finds, the new entry also goes in just before the first line the reader
// would take for the key when that line is not one replaced; the user's
// line stays as it was, after it.
std::optional<std::string> RewrittenBytes(std::string_view bytes, std::wstring_view key,
                                          std::wstring_view value) {
    if (HoldsLineBreak(key) || HoldsLineBreak(value)) {
        return std::nullopt;
    }
    std::wstring entryText;
    entryText.reserve(key.size() + 1 + value.size());
    entryText.append(key).append(1, L'=').append(value);
    const std::string entry = EncodeSettingsText(entryText);
    const std::wstring_view searchKey = TrimSpaces(key);
    std::string text;
    text.reserve(bytes.size() + entry.size() + 2 * kLineEnd.size());
    // Whether an entry line stands before every line the reader would take
    // for the key.
    bool found = false;
    std::wstring scratch;
    ByteLines lines(bytes);
    for (std::string_view lineBytes; lines.Next(lineBytes);) {
        if (!HasTwoCharacters(lineBytes, scratch)) {
            continue;
        }
        const std::string_view retained = WithoutLeadingSpaceBytes(lineBytes);
        if (StartsWithEntry(retained, key, scratch)) {
            text += entry;
            found = true;
        } else {
            if (!found && ReadsAsEntry(retained, searchKey, scratch)) {
                text.append(entry).append(kLineEnd);
                found = true;
            }
            text += retained;
        }
        text += kLineEnd;
    }
    if (!found) {
        text += entry;
        text += kLineEnd;
    }
    return text;
}

std::wstring ReadIniValue(const std::filesystem::path& path, std::wstring_view key) {
    return ReadIniValues(path, std::span(&key, 1))[0];
}

std::vector<std::wstring> ReadIniValues(const std::filesystem::path& path,
                                        std::span<const std::wstring_view> keys) {
    std::vector<std::wstring> values(keys.size());
    std::vector<bool> found(keys.size());
    try {
        if (const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path)) {
            FindValues(*bytes, keys, values, found);
        }
    } catch (...) {
        // Out of memory on an absurd file, or a path the library rejects:
        // the keys not found by then cannot be read.
    }
    return values;
}

bool WriteIniValue(const std::filesystem::path& path, std::wstring_view key,
                   std::wstring_view value) {
    try {
        const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path);
        const std::optional<std::string> rewritten =
            bytes ? RewrittenBytes(*bytes, key, value) : std::nullopt;
        return rewritten && SettingsFile::ReplaceFileBytes(path, *rewritten);
    } catch (...) {
        return false;
    }
}

}  // namespace INIFileModule1
