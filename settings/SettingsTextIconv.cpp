#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "SettingsText.h"
#include "UniqueHandle.h"

namespace {

// A conversion descriptor from iconv_open, which reports failure as -1.
struct IconvTraits {
    using Value = iconv_t;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's own failure value.
    static Value Invalid() noexcept { return reinterpret_cast<iconv_t>(-1); }
    static void Close(Value handle) noexcept { iconv_close(handle); }
};
using UniqueIconv = UniqueHandle<IconvTraits>;

constexpr const char* kFileCodePage = "CP936";
constexpr const char* kWideText = "WCHAR_T";
// glibc's code page 936 leaves out the user-defined areas of GBK
// (0xAAA1-0xAFFE, 0xF8A1-0xFEFE, 0xA140-0xA7A0) and a few further pairs,
// which Windows maps to private-use characters from U+E000 on. Its GB18030
// maps them the same way, so it decodes and encodes exactly those.
constexpr const char* kPrivateUseCodePage = "GB18030";

bool IsPrivateUse(wchar_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

// Whether two bytes have the shape of a double-byte character of GBK and
// GB18030: a lead byte 0x81-0xFE, then a trail byte 0x40-0xFE other than
// 0x7F.
bool IsDoubleByteShape(std::string_view pair) {
    const auto byte = [&pair](std::size_t i) { return static_cast<unsigned char>(pair[i]); };
    return pair.size() == 2 && byte(0) >= 0x81 && byte(0) <= 0xFE && byte(1) >= 0x40 &&
           byte(1) <= 0xFE && byte(1) != 0x7F;
}

// Code page 936, GB18030 and wide text carry no shift state, so no
// converter is ever reset, not even after it rejected some input.

// Converts all of input into out, which has room for outSize units; the
// number of units written, or nothing when the converter is not open or
// rejects any of the input.
template <typename In, typename Out>
std::optional<std::size_t> ConvertInto(iconv_t converter, std::basic_string_view<In> input,
                                       Out* out, std::size_t outSize) {
    if (converter == IconvTraits::Invalid()) {
        return std::nullopt;
    }
    char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * sizeof(In);
    char* outBytes = reinterpret_cast<char*>(out);
    std::size_t outLeft = outSize * sizeof(Out);
    if (iconv(converter, &in, &inLeft, &outBytes, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    return outSize - outLeft / sizeof(Out);
}

// The private-use character the byte pair stands for in GB18030, if any.
std::optional<wchar_t> PrivateUseCharacter(iconv_t converter, std::string_view pair) {
    wchar_t character[2]{};
    if (!IsDoubleByteShape(pair) || ConvertInto(converter, pair, character, 2) != 1 ||
        !IsPrivateUse(character[0])) {
        return std::nullopt;
    }
    return character[0];
}

// The two bytes GB18030 gives a private-use character, if any.
std::optional<std::string_view> PrivateUseBytes(iconv_t converter, wchar_t character,
                                                char (&bytes)[4]) {
    if (!IsPrivateUse(character) ||
        ConvertInto(converter, std::wstring_view(&character, 1), bytes, 4) != 2) {
        return std::nullopt;
    }
    return std::string_view(bytes, 2);
}

// Code page 936 holds ASCII as itself, so ASCII text needs no converter.
template <typename Char>
bool IsAscii(Char c) {
    return static_cast<std::uint32_t>(c) < 0x80;
}

// Gathers the bits of every unit rather than stopping at the first one
// beyond ASCII: a loop without a branch, which the compiler vectorizes.
template <typename Char>
bool IsAscii(std::basic_string_view<Char> text) {
    std::uint32_t bits = 0;
    for (const Char c : text) {
        bits |= static_cast<std::uint32_t>(c);
    }
    return IsAscii(bits);
}

// Converts input to output with converter, which must be open. Where the
// converter rejects the rest of the input from some point on, replaceBad
// is given that rest, appends what stands for its start, and says how
// many input units that took. Code page 936 takes at most two bytes for
// one character and gives one character for one or two bytes, so
// maxOutPerIn output units per input unit always suffice.
template <typename In, typename Out, typename ReplaceBad>
void ConvertAll(iconv_t converter, std::basic_string_view<In> input, std::size_t maxOutPerIn,
                std::basic_string<Out>& output, ReplaceBad replaceBad) {
    char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * sizeof(In);
    while (inLeft > 0) {
        const std::size_t used = output.size();
        const std::size_t room = inLeft / sizeof(In) * maxOutPerIn;
        output.resize(used + room);
        char* out = reinterpret_cast<char*>(output.data() + used);
        std::size_t outLeft = room * sizeof(Out);
        const bool done =
            iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
        const int error = errno;
        output.resize(output.size() - outLeft / sizeof(Out));
        if (!done && error != E2BIG) {
            const std::size_t skip =
                replaceBad(output, input.substr(input.size() - inLeft / sizeof(In))) * sizeof(In);
            in += skip;
            inLeft -= skip;
        }
    }
}

}  // namespace

void DecodeSettingsText(std::string_view bytes, std::wstring& text) {
    thread_local const UniqueIconv decoder(iconv_open(kWideText, kFileCodePage));
    if (IsAscii(bytes) || !decoder) {
        text.resize(bytes.size());
        std::transform(bytes.begin(), bytes.end(), text.begin(), [](char byte) {
            return IsAscii(byte) ? static_cast<wchar_t>(byte) : L'\uFFFD';
        });
        return;
    }
    text.clear();
    thread_local const UniqueIconv privateUse(iconv_open(kWideText, kPrivateUseCodePage));
    ConvertAll(decoder.Get(), bytes, 1, text, [&](std::wstring& out, std::string_view rest) {
        const std::optional<wchar_t> character =
            PrivateUseCharacter(privateUse.Get(), rest.substr(0, 2));
        out.push_back(character.value_or(L'\uFFFD'));
        return std::size_t{character ? 2U : 1U};
    });
}

std::string EncodeSettingsText(std::wstring_view text) {
    thread_local const UniqueIconv encoder(iconv_open(kFileCodePage, kWideText));
    std::string bytes;
    if (IsAscii(text) || !encoder) {
        bytes.resize(text.size());
        std::transform(text.begin(), text.end(), bytes.begin(),
                       [](wchar_t c) { return IsAscii(c) ? static_cast<char>(c) : '?'; });
        return bytes;
    }
    thread_local const UniqueIconv privateUse(iconv_open(kPrivateUseCodePage, kWideText));
    ConvertAll(encoder.Get(), text, 2, bytes, [&](std::string& out, std::wstring_view rest) {
        char pair[4]{};
        out += PrivateUseBytes(privateUse.Get(), rest.front(), pair).value_or("?");
        return std::size_t{1};
    });
    return bytes;
}
