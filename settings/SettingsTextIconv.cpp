#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "SettingsText.h"

namespace {

constexpr const char* kFileCodePage = "CP936";
constexpr const char* kWideText = "WCHAR_T";

// One conversion direction of iconv, opened once per thread and reused.
class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (IsOpen()) {
            iconv_close(handle_);
        }
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;
    IconvConverter(IconvConverter&&) = delete;
    IconvConverter& operator=(IconvConverter&&) = delete;

    bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as it can into out, advancing both; returns
    // false and leaves errno set when it stops early.
    bool Convert(char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        return iconv(handle_, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    }

    // Forgets any state left by a conversion that stopped early.
    void Reset() { iconv(handle_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t handle_;
};

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Converts in to out in pieces; each piece the converter rejects is handed
// to replaceBad, which appends its stand-in and says how much input to skip.
template <typename In, typename Out, typename ReplaceBad>
void ConvertAll(IconvConverter& converter, std::basic_string_view<In> input,
                std::basic_string<Out>& output, ReplaceBad replaceBad) {
    constexpr std::size_t kChunk = 4096;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
    std::size_t inLeft = input.size() * sizeof(In);
    while (inLeft > 0) {
        const std::size_t used = output.size();
        output.resize(used + kChunk);
        char* out = reinterpret_cast<char*>(output.data() + used);
        std::size_t outLeft = kChunk * sizeof(Out);
        const bool done = converter.Convert(in, inLeft, out, outLeft);
        const int error = errno;
        output.resize(output.size() - outLeft / sizeof(Out));
        if (!done && error != E2BIG) {
            converter.Reset();
            const std::size_t skip = replaceBad(output) * sizeof(In);
            in += skip;
            inLeft -= skip;
        }
    }
}

}  // namespace

std::wstring DecodeSettingsText(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return {bytes.begin(), bytes.end()};
    }
    thread_local IconvConverter decoder(kWideText, kFileCodePage);
    std::wstring text;
    text.reserve(bytes.size());
    if (!decoder.IsOpen()) {
        for (const char byte : bytes) {
            text.push_back(static_cast<unsigned char>(byte) < 0x80 ? byte : L'\uFFFD');
        }
        return text;
    }
    ConvertAll(decoder, bytes, text, [](std::wstring& out) {
        out.push_back(L'\uFFFD');
        return std::size_t{1};
    });
    return text;
}

std::string EncodeSettingsText(std::wstring_view text) {
    thread_local IconvConverter encoder(kFileCodePage, kWideText);
    std::string bytes;
    bytes.reserve(text.size());
    if (!encoder.IsOpen()) {
        for (const wchar_t c : text) {
            bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        return bytes;
    }
    ConvertAll(encoder, text, bytes, [](std::string& out) {
        out.push_back('?');
        return std::size_t{1};
    });
    return bytes;
}
