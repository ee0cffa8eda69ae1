#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The preset store: where the settings file lives, which preset to read at
// start, and the six presets. Filled once at start; saves change one slot
// of the table and one key of the file.
namespace Module1 {

// The preset slots are numbered kFirstSlot..kLastSlot.
inline constexpr int kFirstSlot = 1;
inline constexpr int kLastSlot = 6;

// The program's folder, ending in a separator; used to form SettingsPath.
inline std::filesystem::path AppDir;
// The settings file "KOV调节设置.ini": in AppDir, or in the user's own
// settings folder when the program's folder is not the user's to write.
inline std::filesystem::path SettingsPath;
// The slot named by the key AUTOLOAD; 0 when absent or unreadable.
inline std::int16_t AutoLoadSlot = 0;

// The preset table, indexed by slot 1..6; index 0 is never used.
// PresetUsed(n) is 1 exactly when slot n holds three offsets that are not
// all zero; the offsets mean something only while it is 1.
inline std::int32_t PresetUsed[kLastSlot + 1]{};
inline std::int32_t PresetRed[kLastSlot + 1]{};
inline std::int32_t PresetGreen[kLastSlot + 1]{};
inline std::int32_t PresetBlue[kLastSlot + 1]{};

// Whether slot is one of the six preset slots.
bool IsPresetSlot(int slot);

// Gives a slot three offsets. PresetUsed(slot) becomes 1, or 0 when all
// three are zero: a preset of three zeros is no preset.
void StorePreset(int slot, std::int32_t red, std::int32_t green, std::int32_t blue);

// A slot's offsets as a preset value is written: red, green and blue in
// decimal joined by "," ("20,-4,0").
std::wstring PresetValueText(int slot);

// Forms AppDir and SettingsPath, once at start. The file is beside the
// program when it already exists there or the user may create files in the
// program's folder (portable use: a USB stick, a folder in the user's home,
// the build folder). Otherwise it goes to userFolder: an installed
// program's folder is not the user's to write, and every save would be
// lost without a word.
void InitSettingsPath(const std::filesystem::path& programFolder, bool programFolderWritable,
                      const std::filesystem::path& userFolder);

// Reads AUTOLOAD and the keys RGB1..RGB6 from one reading of the settings file.
void LoadPresets(const std::filesystem::path& path);

// Writes the key of one slot ("RGB" and the slot number) with value, the
// offsets joined by ","; a failure to write is not reported.
void SavePreset(const std::filesystem::path& path, int slot, std::wstring_view value);

// Creates the file with the default content when its first line cannot be
// read, and its folder first if that is missing; an existing file with a
// first line is left as it is.
void EnsureSettingsFile(const std::filesystem::path& path);

// Returns the module to its state at program start.
void ResetState();

}  // namespace Module1
