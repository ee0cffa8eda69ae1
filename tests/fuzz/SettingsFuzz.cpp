// Fuzz target for the settings file: the reader and the writer on arbitrary
// file content, keys and values, and the round trip of a plain key.
//
// Input layout: one byte key length, one byte value length, the key bytes,
// the value bytes (both in the settings text encoding), then the content
// of the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "INIFileModule1.h"
#include "SettingsText.h"
#include "TextLines.h"
#include "TextToNumber.h"
#include "UpperCase.h"

namespace {

struct FuzzInput {
    std::string_view key;
    std::string_view value;
    std::string_view content;
};

FuzzInput Split(std::string_view data) {
    FuzzInput input;
    if (data.size() < 2) {
        input.content = data;
        return input;
    }
    const std::size_t keyLength = static_cast<unsigned char>(data[0]);
    const std::size_t valueLength = static_cast<unsigned char>(data[1]);
    data.remove_prefix(2);
    input.key = data.substr(0, keyLength);
    data.remove_prefix(input.key.size());
    input.value = data.substr(0, valueLength);
    data.remove_prefix(input.value.size());
    input.content = data;
    return input;
}

// The file the target works on, in a folder of its own under the system's
// temporary folder (set TMPDIR to keep runs apart).
const std::filesystem::path& WorkFile() {
    static const std::filesystem::path path = [] {
        std::filesystem::path folder = std::filesystem::temp_directory_path() / "kov-settings-fuzz";
        std::filesystem::create_directories(folder);
        return folder / "settings.ini";
    }();
    return path;
}

void PutContent(std::string_view content) {
    std::ofstream file(WorkFile(), std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string GetContent() {
    std::ifstream file(WorkFile(), std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(file.tellg()), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool HasOnlyCrLfLineEnds(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
            return false;
        }
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

// A key of letters, digits and "_" only, never empty.
std::wstring PlainKey(std::string_view bytes) {
    std::wstring key;
    for (const char c : bytes) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '_') {
            key.push_back(static_cast<wchar_t>(c));
        }
    }
    return key.empty() ? L"K" : key;
}

// A value of printable ASCII only.
std::wstring PlainValue(std::string_view bytes) {
    std::wstring value;
    for (const char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            value.push_back(static_cast<wchar_t>(c));
        }
    }
    return value;
}

// Whether some line of content holds the upper-cased key anywhere; such a
// line could answer the reader before the written one does.
bool MentionsKey(std::string_view content, std::wstring_view key) {
    const std::wstring upperKey = ToUpperText(key);
    ByteLines lines(content);
    for (std::string_view line; lines.Next(line);) {
        if (ToUpperText(DecodeSettingsText(line)).find(upperKey) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

void CheckReaderAndWriter(const FuzzInput& input) {
    const std::wstring key = DecodeSettingsText(input.key);
    const std::wstring value = DecodeSettingsText(input.value);
    PutContent(input.content);
    const std::wstring found = INIFileModule1::ReadIniValue(WorkFile(), key);
    LeadingNumberToInt16(found);
    PresetFieldToInt32(found);
    if (INIFileModule1::WriteIniValue(WorkFile(), key, value)) {
        const std::string written = GetContent();
        Require(HasOnlyCrLfLineEnds(written));
        Require(std::string_view(written).ends_with("\r\n"));
    }
}

void CheckRoundTrip(const FuzzInput& input) {
    const std::wstring key = PlainKey(input.key);
    const std::wstring value = PlainValue(input.value);
    if (MentionsKey(input.content, key)) {
        return;
    }
    PutContent(input.content);
    Require(INIFileModule1::WriteIniValue(WorkFile(), key, value));
    Require(INIFileModule1::ReadIniValue(WorkFile(), key) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzInput input = Split({reinterpret_cast<const char*>(data), size});
    CheckReaderAndWriter(input);
    CheckRoundTrip(input);
    return 0;
}
