#include "Module1.h"

#include <array>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "INIFileModule1.h"
#include "SettingsFile.h"
#include "SettingsText.h"
#include "TextLines.h"
#include "TextToNumber.h"

namespace Module1 {

namespace {

std::wstring SlotKey(int slot) {
    return L"RGB" + std::to_wstring(slot);
}

std::vector<std::wstring_view> SplitAtCommas(std::wstring_view text) {
    std::vector<std::wstring_view> fields;
    if (text.empty()) {
        return fields;
    }
    for (std::size_t start = 0;;) {
        const std::size_t comma = text.find(L',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::wstring_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

// The three offsets of a preset value, or nothing when it does not split
// into exactly three fields that are all numbers in range.
std::optional<std::array<std::int32_t, 3>> ParsePreset(std::wstring_view value) {
    const std::vector<std::wstring_view> fields = SplitAtCommas(value);
    if (fields.size() != 3) {
        return std::nullopt;
    }
    std::array<std::int32_t, 3> offsets{};
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::optional<std::int32_t> number = PresetOffsetFromField(fields[i]);
        if (!number) {
            return std::nullopt;
        }
        offsets[i] = *number;
    }
    return offsets;
}

// A slot whose value is no preset keeps the offsets it had, unused.
void LoadSlot(int slot, std::wstring_view value) {
    PresetUsed[slot] = 0;
    if (const auto offsets = ParsePreset(value)) {
        StorePreset(slot, (*offsets)[0], (*offsets)[1], (*offsets)[2]);
    }
}

// What a new settings file holds: a comment naming the program and its
// author, and the start-up slot 0 (none).
constexpr std::wstring_view kDefaultContent =
    L";KOV调节显示器设置   作者：Tavrin   Email:tavrin@example.com\r\n"
    L"AUTOLOAD=0\r\n";

bool HasFirstLine(std::string_view bytes) {
    std::string_view firstLine;
    return ByteLines(bytes).Next(firstLine);
}

}  // namespace

bool IsPresetSlot(int slot) {
    return slot >= kFirstSlot && slot <= kLastSlot;
}

void StorePreset(int slot, std::int32_t red, std::int32_t green, std::int32_t blue) {
    PresetRed[slot] = red;
    PresetGreen[slot] = green;
    PresetBlue[slot] = blue;
    PresetUsed[slot] = (red == 0 && green == 0 && blue == 0) ? 0 : 1;
}

std::wstring PresetValueText(int slot) {
    return std::to_wstring(PresetRed[slot]) + L"," + std::to_wstring(PresetGreen[slot]) + L"," +
           std::to_wstring(PresetBlue[slot]);
}

void EnsureSettingsFile(const std::filesystem::path& path) {
    const std::string content = EncodeSettingsText(kDefaultContent);
    if (const std::optional<std::string> bytes = SettingsFile::ReadFileBytes(path)) {
        if (!HasFirstLine(*bytes)) {
            SettingsFile::ReplaceFileBytes(path, content);
        }
        return;
    }
    // A file that exists but cannot be read is never replaced by the default:
    // it may hold the user's presets.
    Files::CreateMissingFolders(path.parent_path());
    SettingsFile::CreateFileBytes(path, content);
}

void InitSettingsPath(const std::filesystem::path& programFolder, bool programFolderWritable,
                      const std::filesystem::path& userFolder) {
    const std::filesystem::path name(u8"KOV调节设置.ini");
    std::filesystem::path::string_type folder = programFolder.native();
    if (!folder.empty() && folder.back() != std::filesystem::path::preferred_separator) {
        folder += std::filesystem::path::preferred_separator;
    }
    AppDir = folder;
    SettingsPath = folder + name.native();
    if (!Files::Exists(SettingsPath) && !programFolderWritable && !userFolder.empty()) {
        SettingsPath = userFolder / name;
    }
}

// The file is read once for the seven keys: AUTOLOAD, then the slots'.
void LoadPresets(const std::filesystem::path& path) {
    std::vector<std::wstring> keys{L"AUTOLOAD"};
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
        keys.push_back(SlotKey(slot));
    }
    const std::vector<std::wstring_view> keyViews(keys.begin(), keys.end());
    const std::vector<std::wstring> values = INIFileModule1::ReadIniValues(path, keyViews);
    AutoLoadSlot = AutoLoadSlotFromValue(values[0]);
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
        LoadSlot(slot, values[slot]);
    }
}

void SavePreset(const std::filesystem::path& path, int slot, std::wstring_view value) {
    INIFileModule1::WriteIniValue(path, SlotKey(slot), value);
}

void ResetState() {
    AppDir.clear();
    SettingsPath.clear();
    AutoLoadSlot = 0;
    for (int slot = 0; slot <= kLastSlot; ++slot) {
        PresetUsed[slot] = 0;
        PresetRed[slot] = 0;
        PresetGreen[slot] = 0;
        PresetBlue[slot] = 0;
    }
}

}  // namespace Module1
