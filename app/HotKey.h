#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Request.h"

// A key with its modifiers, as the settings name a global key, in terms
// that each platform maps to its own key codes.
struct HotKey {
    // Modifier bits.
    static constexpr unsigned kCtrl = 1;
    static constexpr unsigned kAlt = 2;
    static constexpr unsigned kShift = 4;
    static constexpr unsigned kWin = 8;  // the Windows or Super key

    // Keys: '0'..'9' and 'A'..'Z' stand for themselves; F1..F24 are
    // kF1..kF1 + 23; the keys of the editing block and the arrows follow.
    enum Key : std::uint16_t {
        kF1 = 0x100,
        kPageUp = 0x120,
        kPageDown,
        kHome,
        kEnd,
        kInsert,
        kDelete,
        kLeft,
        kRight,
        kUp,
        kDown,
    };

    unsigned modifiers = 0;
    std::uint16_t key = 0;

    bool operator==(const HotKey&) const = default;
};

// Reads text such as "Ctrl+Alt+3": modifiers (Ctrl, Alt, Shift, Win or
// Super), each at most once, then one key (0-9, A-Z, F1-F24, PageUp,
// PageDown, Home, End, Insert, Delete, Left, Right, Up, Down), joined by
// "+". Names ignore letter case ("a" is the A key), and blanks around a
// name are ignored. None for anything else.
std::optional<HotKey> ParseHotKey(std::wstring_view text);

// The key written as ParseHotKey reads it, modifiers in the order Ctrl,
// Alt, Shift, Win ("Ctrl+Alt+F3").
std::string HotKeyText(const HotKey& key);

// A global key of the settings and what it asks for.
struct HotKeySetting {
    HotKey key;
    Request request;
};

// The keys HOTKEY0 (reset) and HOTKEY1..HOTKEY6 (read that slot) of the
// settings file, in that order. A value that cannot be read, and a key an
// earlier one already has, are left out.
std::vector<HotKeySetting> ReadHotKeySettings(const std::filesystem::path& settings);
