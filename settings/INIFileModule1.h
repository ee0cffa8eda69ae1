#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Keys of a line-oriented key=value text file with ";" comment lines and
// no sections. Each call opens, uses and closes the file; no state is kept
// between calls. Reading and writing follow different rules.
namespace INIFileModule1 {

// The value of key: the text after the first "=" of the first line, not a
// comment, whose upper case holds the trimmed, upper-cased key directly
// followed by "=" anywhere. "" when no line matches, the value is empty,
// or the file cannot be read.
std::wstring ReadIniValue(const std::filesystem::path& path, std::wstring_view key);

// The values of several keys, each as ReadIniValue gives it, from one
// reading of the file and one pass over its lines.
std::vector<std::wstring> ReadIniValues(const std::filesystem::path& path,
                                        std::span<const std::wstring_view> keys);

// Rewrites the file with key=value: lines shorter than two characters are
// dropped, leading spaces removed, every line starting with the upper-cased
// key and "=" replaced by key=value, and every line ended by CR LF. When
// no such line comes before the first line ReadIniValue would take for the
// key, key=value goes in just before that line, or at the end when there
// is none. So ReadIniValue then gives the value written, unless the key
// holds "=", ends in a space or begins with ";", or the code page cannot
// hold the text. The rewrite is atomic. False, with the file untouched,
// when it is missing, cannot be read or written, or when key or value
// holds a line break.
bool WriteIniValue(const std::filesystem::path& path, std::wstring_view key,
                   std::wstring_view value);

// The two rules on a file's bytes, as the calls above apply them to the
// file: the value read for key, and the new bytes of the file with
// key=value written (nothing when key or value holds a line break).
std::wstring ValueInBytes(std::string_view bytes, std::wstring_view key);
std::optional<std::string> RewrittenBytes(std::string_view bytes, std::wstring_view key,
                                          std::wstring_view value);

}  // namespace INIFileModule1
