#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

#include "SettingsText.h"

namespace {

int ToInt(std::size_t size) {
    return static_cast<int>(size);
}

// Decodes bytes only if every one of them belongs to a valid character;
// returns false (and appends nothing) otherwise. No ANSI code page yields
// more UTF-16 units than it took bytes, so the room is known in advance.
bool DecodeStrictly(std::string_view bytes, std::wstring& text) {
    const std::size_t used = text.size();
    text.resize(used + bytes.size());
    const int decoded =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), ToInt(bytes.size()),
                            text.data() + used, ToInt(bytes.size()));
    text.resize(used + static_cast<std::size_t>(decoded > 0 ? decoded : 0));
    return decoded > 0;
}

// Walks invalid input one character at a time: the shortest run of bytes
// that decodes is one character; a byte that starts none becomes U+FFFD.
// The system's own lenient decoding is not used, since it may swallow the
// byte after a bad lead byte or map it to a private character.
void DecodeCharByChar(std::string_view bytes, std::wstring& text) {
    CPINFO info{};
    const std::size_t maxCharSize =
        GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 0 ? info.MaxCharSize : 1;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t length = 1;
        while (length <= maxCharSize && pos + length <= bytes.size() &&
               !DecodeStrictly(bytes.substr(pos, length), text)) {
            ++length;
        }
        if (length > maxCharSize || pos + length > bytes.size()) {
            text.push_back(L'\uFFFD');
            length = 1;
        }
        pos += length;
    }
}

// Encodes with "?" for what the code page cannot hold and no best-fit
// look-alikes ("é" must not quietly become "e"). A UTF-8 code page takes
// neither option, and can hold every character anyway.
int EncodeInto(std::wstring_view text, char* out, int outSize) {
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                                         ToInt(text.size()), out, outSize, "?", &usedDefault);
    if (size > 0 || GetLastError() != ERROR_INVALID_PARAMETER) {
        return size;
    }
    return WideCharToMultiByte(CP_ACP, 0, text.data(), ToInt(text.size()), out, outSize, nullptr,
                               nullptr);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Only a UTF-8 code page holds characters beyond the Basic Multilingual
// Plane. For any other, a surrogate pair is one character the code page
// lacks and becomes one "?", not two.
std::wstring WithPairsAsQuestionMarks(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            result.push_back(L'?');
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

bool NeedsPairsReplaced(std::wstring_view text) {
    return GetACP() != CP_UTF8 &&
           std::find_if(text.begin(), text.end(), IsHighSurrogate) != text.end();
}

// The system calls take int lengths; longer text is handled in pieces that
// end on a line break, which is a whole character in every ANSI code page.
template <typename Char, typename Convert>
void InPieces(std::basic_string_view<Char> input, Convert convert) {
    constexpr std::size_t kMaxPiece = INT_MAX / 4;
    while (input.size() > kMaxPiece) {
        std::size_t end = input.rfind(Char('\n'), kMaxPiece - 1);
        end = end == std::basic_string_view<Char>::npos ? kMaxPiece : end + 1;
        convert(input.substr(0, end));
        input.remove_prefix(end);
    }
    convert(input);
}

}  // namespace

void DecodeSettingsText(std::string_view bytes, std::wstring& text) {
    text.clear();
    InPieces(bytes, [&text](std::string_view piece) {
        if (!piece.empty() && !DecodeStrictly(piece, text)) {
            DecodeCharByChar(piece, text);
        }
    });
}

std::string EncodeSettingsText(std::wstring_view text) {
    if (NeedsPairsReplaced(text)) {
        return EncodeSettingsText(WithPairsAsQuestionMarks(text));
    }
    std::string bytes;
    InPieces(text, [&bytes](std::wstring_view piece) {
        if (piece.empty()) {
            return;
        }
        const int needed = EncodeInto(piece, nullptr, 0);
        if (needed <= 0) {
            return;
        }
        const std::size_t used = bytes.size();
        bytes.resize(used + static_cast<std::size_t>(needed));
        EncodeInto(piece, bytes.data() + used, needed);
    });
    return bytes;
}
