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

// The first characters of a line, decoded from as few bytes as will hold them.
std::wstring DecodedStart(std::string_view bytes, std::size_t characters) {
    return DecodeSettingsText(bytes.substr(0, characters * kMaxBytesPerCharacter));
}

std::wstring ValueOfFirstMatch(std::string_view bytes, std::wstring_view key) {
    const std::wstring searchText = ToUpperText(TrimSpaces(key)) + L"=";
    ByteLines lines(bytes);
    for (std::string_view lineBytes; lines.Next(lineBytes);) {
        const std::wstring line = DecodeSettingsText(lineBytes);
        if (IsComment(line)) {
            continue;
        }
        if (ContainsUpperCased(line, searchText)) {
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
std::string RewrittenText(std::string_view bytes, std::wstring_view key, std::wstring_view value) {
    const std::wstring matchText = ToUpperText(key) + L"=";
    const std::string entry = EncodeSettingsText(std::wstring(key) + L"=" + std::wstring(value));
    std::string text;
    text.reserve(bytes.size() + entry.size() + 2 * kLineEnd.size());
    bool found = false;
    ByteLines lines(bytes);
    for (std::string_view lineBytes; lines.Next(lineBytes);) {
        if (CharacterCount(DecodedStart(lineBytes, 2)) < 2) {
            continue;
        }
        const std::string_view retained = WithoutLeadingSpaceBytes(lineBytes);
        const std::wstring start = DecodedStart(retained, matchText.size());
        if (ToUpperText(std::wstring_view(start).substr(0, matchText.size())) == matchText) {
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

}  // namespace

std::wstring ReadIniValue(const std::filesystem::path& path, std::wstring_view key) {
    try {
        const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path);
        return bytes ? ValueOfFirstMatch(*bytes, key) : std::wstring{};
    } catch (...) {
        // Out of memory on an absurd file, or a path the library rejects:
        // either way the file cannot be read.
        return {};
    }
}

bool WriteIniValue(const std::filesystem::path& path, std::wstring_view key,
                   std::wstring_view value) {
    if (HoldsLineBreak(key) || HoldsLineBreak(value)) {
        return false;
    }
    try {
        const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path);
        return bytes && SettingsFile::ReplaceFileBytes(path, RewrittenText(*bytes, key, value));
    } catch (...) {
        return false;
    }
}

}  // namespace INIFileModule1
