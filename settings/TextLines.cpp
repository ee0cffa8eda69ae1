#include "TextLines.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

bool ByteLines::Next(std::string_view& line) {
    if (rest_.empty()) {
        return false;
    }
    const auto* const lineEnd =
        std::find_if(rest_.begin(), rest_.end(), [](char c) { return c == '\r' || c == '\n'; });
    const auto end = static_cast<std::size_t>(lineEnd - rest_.begin());
    line = rest_.substr(0, end);
    if (lineEnd == rest_.end()) {
        rest_ = {};
        return true;
    }
    const bool crLf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
    rest_.remove_prefix(end + (crLf ? 2 : 1));
    return true;
}

std::wstring_view TrimLeadingSpaces(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring_view::npos ? std::wstring_view{} : text.substr(first);
}

std::wstring_view TrimSpaces(std::wstring_view text) {
    const std::wstring_view rest = TrimLeadingSpaces(text);
    return rest.substr(0, rest.find_last_not_of(L' ') + 1);
}

std::size_t CharacterCount(std::wstring_view text) {
    constexpr auto IsHighSurrogate = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    constexpr auto IsLowSurrogate = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    std::size_t count = text.size();
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) {
            --count;
        }
    }
    return count;
}
