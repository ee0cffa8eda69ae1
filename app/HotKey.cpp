#include "HotKey.h"

#include <algorithm>
#include <array>

#include "INIFileModule1.h"
#include "Module1.h"

namespace {

struct Name {
    std::string_view text;
    unsigned value;
};

constexpr Name kModifierNames[] = {
    {"Ctrl", HotKey::kCtrl}, {"Alt", HotKey::kAlt},   {"Shift", HotKey::kShift},
    {"Win", HotKey::kWin},   {"Super", HotKey::kWin},
};

constexpr Name kKeyNames[] = {
    {"PageUp", HotKey::kPageUp}, {"PageDown", HotKey::kPageDown}, {"Home", HotKey::kHome},
    {"End", HotKey::kEnd},       {"Insert", HotKey::kInsert},     {"Delete", HotKey::kDelete},
    {"Left", HotKey::kLeft},     {"Right", HotKey::kRight},       {"Up", HotKey::kUp},
    {"Down", HotKey::kDown},
};

constexpr int kFunctionKeys = 24;

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameName(std::wstring_view given, std::string_view name) {
    return std::ranges::equal(given, name, [](wchar_t g, char n) {
        return UpperAscii(g) == UpperAscii(static_cast<wchar_t>(n));
    });
}

std::optional<unsigned> Named(std::wstring_view given, std::span<const Name> names) {
    const auto found =
        std::ranges::find_if(names, [&](const Name& n) { return SameName(given, n.text); });
    return found == names.end() ? std::nullopt : std::optional<unsigned>(found->value);
}

std::wstring_view Trimmed(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// F1..F24, written without leading zeros.
std::optional<std::uint16_t> FunctionKey(std::wstring_view name) {
    if (name.size() < 2 || name.size() > 3 || UpperAscii(name[0]) != L'F' || name[1] == L'0') {
        return std::nullopt;
    }
    int number = 0;
    for (const wchar_t digit : name.substr(1)) {
        if (digit < L'0' || digit > L'9') {
            return std::nullopt;
        }
        number = number * 10 + (digit - L'0');
    }
    if (number > kFunctionKeys) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(HotKey::kF1 + number - 1);
}

std::optional<std::uint16_t> KeyNamed(std::wstring_view name) {
    if (name.size() == 1) {
        const wchar_t c = UpperAscii(name[0]);
        const bool character = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z');
        return character ? std::optional<std::uint16_t>(c) : std::nullopt;
    }
    if (const auto key = Named(name, kKeyNames)) {
        return static_cast<std::uint16_t>(*key);
    }
    return FunctionKey(name);
}

std::string KeyText(std::uint16_t key) {
    if (key >= HotKey::kF1 && key < HotKey::kF1 + kFunctionKeys) {
        return "F" + std::to_string(key - HotKey::kF1 + 1);
    }
    for (const Name& name : kKeyNames) {
        if (name.value == key) {
            return std::string(name.text);
        }
    }
    return std::string(1, static_cast<char>(key));
}

}  // namespace

std::optional<HotKey> ParseHotKey(std::wstring_view text) {
    HotKey hotKey;
    for (;;) {
        const std::size_t plus = text.find(L'+');
        const std::wstring_view name = Trimmed(text.substr(0, plus));
        if (plus == std::wstring_view::npos) {
            const auto key = KeyNamed(name);
            if (!key) {
                return std::nullopt;
            }
            hotKey.key = *key;
            return hotKey;
        }
        const auto modifier = Named(name, kModifierNames);
        if (!modifier || (hotKey.modifiers & *modifier) != 0) {
            return std::nullopt;
        }
        hotKey.modifiers |= *modifier;
        text.remove_prefix(plus + 1);
    }
}

std::string HotKeyText(const HotKey& key) {
    std::string text;
    for (const Name& modifier : std::span(kModifierNames).first(4)) {
        if ((key.modifiers & modifier.value) != 0) {
            text += std::string(modifier.text) + "+";
        }
    }
    return text + KeyText(key.key);
}

std::vector<HotKeySetting> ReadHotKeySettings(const std::filesystem::path& settings) {
    std::vector<HotKeySetting> found;
    for (int slot = 0; slot <= Module1::kLastSlot; ++slot) {
        const std::wstring value =
            INIFileModule1::ReadIniValue(settings, L"HOTKEY" + std::to_wstring(slot));
        const std::optional<HotKey> key = ParseHotKey(value);
        const bool taken = key && std::ranges::any_of(found, [&](const HotKeySetting& earlier) {
                               return earlier.key == *key;
                           });
        if (key && !taken) {
            const Request request =
                slot == 0 ? Request{} : Request{Request::Action::ReadPreset, slot};
            found.push_back({*key, request});
        }
    }
    return found;
}
