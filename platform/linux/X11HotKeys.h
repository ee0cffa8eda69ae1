#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "HotKey.h"
#include "UniqueHandle.h"

// Global keys on an X server: passive grabs on the root window, on a
// connection of their own, so that a press reaches the program wherever
// the focus is. Each key is grabbed also with Caps Lock and Num Lock on,
// which would otherwise make the press another one.
class X11HotKeys {
public:
    // Connects to $DISPLAY and grabs keys; a key another client holds, or
    // one the keyboard lacks, is skipped and said once on standard error.
    explicit X11HotKeys(std::span<const HotKey> keys);

    // The connection's descriptor; -1 without a connection.
    int Descriptor() const;

    // Passes the index of each key pressed to pressed; false once the
    // connection is lost.
    bool TakePresses(const std::function<void(std::size_t)>& pressed);

private:
    struct ConnectionTraits {
        using Value = xcb_connection_t*;
        static Value Invalid() noexcept { return nullptr; }
        static void Close(Value value) noexcept { xcb_disconnect(value); }
    };
    struct Grab {
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
        std::size_t index;
    };

    bool GrabKey(xcb_window_t root, xcb_keycode_t keycode, std::uint16_t modifiers,
                 std::span<const std::uint16_t> locks);

    UniqueHandle<ConnectionTraits> connection_;
    std::uint16_t lockModifiers_ = 0;
    std::vector<Grab> grabs_;
};
