#include "TextLines.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

bool ByteLines::Next(std::string_view& line) {
    if (pos_ == bytes_.size()) {
        return false;
    }
    const std::size_t end = std::min({nextCr_, nextLf_, bytes_.size()});
    line = bytes_.substr(pos_, end - pos_);
    const bool crLf = end == nextCr_ && nextLf_ == end + 1;
    pos_ = std::min(end + (crLf ? 2 : 1), bytes_.size());
    if (nextCr_ < pos_) {
        nextCr_ = bytes_.find('\r', pos_);
    }
    if (nextLf_ < pos_) {
        nextLf_ = bytes_.find('\n', pos_);
    }
    return true;
}

std::wstring_view TrimSpaces(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
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
