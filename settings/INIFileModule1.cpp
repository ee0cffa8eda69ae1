#include "INIFileModule1.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "SettingsFile.h"
#include "SettingsText.h"
#include "TextLines.h"
#include "UpperCase.h"

namespace INIFileModule1 {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsComment(std::wstring_view line) {
    return TrimSpaces(line).starts_with(L';');
}

bool HoldsLineBreak(std::wstring_view text) {
    return text.find_first_of(L"\r\n") != std::wstring_view::npos;
}

std::string_view WithoutLeadingSpaceBytes(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

// Whether the upper case of text holds upperText, without making an
// upper-cased copy of a line that may be very long.
bool ContainsUpperCased(std::wstring_view text, std::wstring_view upperText) {
    return std::search(text.begin(), text.end(), upperText.begin(), upperText.end(),
                       [](wchar_t c, wchar_t upper) { return ToUpperChar(c) == upper; }) !=
           text.end();
}

// Whether the upper case of text begins with upperPrefix.
bool StartsUpperCased(std::wstring_view text, std::wstring_view upperPrefix) {
    return text.size() >= upperPrefix.size() &&
           std::equal(upperPrefix.begin(), upperPrefix.end(), text.begin(),
                      [](wchar_t upper, wchar_t c) { return ToUpperChar(c) == upper; });
}

// Decodes into start the first characters of a line, from as few bytes as
// will hold them.
void DecodeStart(std::string_view bytes, std::size_t characters, std::wstring& start) {
    DecodeSettingsText(bytes.substr(0, characters * kMaxBytesPerCharacter), start);
}

}  // namespace

std::wstring ValueInBytes(std::string_view bytes, std::wstring_view key) {
    const std::wstring searchText = ToUpperText(TrimSpaces(key)) + L"=";
    std::wstring line;
    ByteLines lines(bytes);
    for (std::string_view lineBytes; lines.Next(lineBytes);) {
        DecodeSettingsText(lineBytes, line);
        if (!IsComment(line) && ContainsUpperCased(line, searchText)) {
            return line.substr(line.find(L'=') + 1);
        }
    }
    return {};
}

// The new file: retained lines (two characters or more) without their
// leading spaces, matching ones replaced, each ended by CR LF. Lines kept
// unchanged keep their bytes exactly, even bytes the code page does not
// define, so a rewrite never alters text it did not mean to change. Only
// the start of each line is decoded, which is all the rules look at.
std::optional<std::string> RewrittenBytes(std::string_view bytes, std::wstring_view key,
                                          std::wstring_view value) {
    if (HoldsLineBreak(key) || HoldsLineBreak(value)) {
        return std::nullopt;
    }
    const std::wstring matchText = ToUpperText(key) + L"=";
    std::wstring entryText(key);
    entryText += L'=';
    entryText += value;
    const std::string entry = EncodeSettingsText(entryText);
    std::string text;
    text.reserve(bytes.size() + entry.size() + 2 * kLineEnd.size());
    bool found = false;
    std::wstring start;
    ByteLines lines(bytes);
    for (std::string_view lineBytes; lines.Next(lineBytes);) {
        DecodeStart(lineBytes, 2, start);
        if (CharacterCount(start) < 2) {
            continue;
        }
        const std::string_view retained = WithoutLeadingSpaceBytes(lineBytes);
        DecodeStart(retained, matchText.size(), start);
        if (StartsUpperCased(start, matchText)) {
            text += entry;
            found = true;
        } else {
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
    try {
        const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path);
        return bytes ? ValueInBytes(*bytes, key) : std::wstring{};
    } catch (...) {
        // Out of memory on an absurd file, or a path the library rejects:
        // either way the file cannot be read.
        return {};
    }
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
