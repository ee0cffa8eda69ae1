#include "X11HotKeys.h"

#include <X11/keysym.h>

#include <array>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

void FreeReply(void* reply) {
    std::free(reply);
}

// What xcb hands out with malloc: replies and events.
template <typename T>
using XcbMemory = UniquePointerHandle<T, &FreeReply>;

constexpr std::uint16_t kModifierBits = 0xFF;

xcb_keysym_t KeysymOf(std::uint16_t key) {
    if (key >= '0' && key <= '9') {
        return XK_0 + (key - '0');
    }
    if (key >= 'A' && key <= 'Z') {
        return XK_a + (key - 'A');
    }
    if (key >= HotKey::kF1 && key < HotKey::kF1 + 24) {
        return XK_F1 + (key - HotKey::kF1);
    }
    switch (key) {
        case HotKey::kPageUp:
            return XK_Prior;
        case HotKey::kPageDown:
            return XK_Next;
        case HotKey::kHome:
            return XK_Home;
        case HotKey::kEnd:
            return XK_End;
        case HotKey::kInsert:
            return XK_Insert;
        case HotKey::kDelete:
            return XK_Delete;
        case HotKey::kLeft:
            return XK_Left;
        case HotKey::kRight:
            return XK_Right;
        case HotKey::kUp:
            return XK_Up;
        case HotKey::kDown:
            return XK_Down;
        default:
            return XK_VoidSymbol;
    }
}

// The server's keyboard: which key makes a symbol, and which modifier bit a
// modifier key sets.
class Keyboard {
public:
    explicit Keyboard(xcb_connection_t* connection)
        : setup_(xcb_get_setup(connection)),
          keys_(xcb_get_keyboard_mapping_reply(
              connection,
              xcb_get_keyboard_mapping(connection, setup_->min_keycode,
                                       setup_->max_keycode - setup_->min_keycode + 1),
              nullptr)),
          modifiers_(xcb_get_modifier_mapping_reply(
              connection, xcb_get_modifier_mapping(connection), nullptr)) {}

    // The first key that makes keysym; 0 when none does.
    xcb_keycode_t KeycodeOf(xcb_keysym_t keysym) const {
        const int perKey = keys_ ? keys_->keysyms_per_keycode : 0;
        if (perKey == 0) {
            return 0;
        }
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(keys_.Get());
        const int count = xcb_get_keyboard_mapping_keysyms_length(keys_.Get());
        for (int i = 0; i < count; ++i) {
            if (symbols[i] == keysym) {
                return static_cast<xcb_keycode_t>(setup_->min_keycode + i / perKey);
            }
        }
        return 0;
    }

    // The modifier bit of the key that makes keysym; usual when none has.
    std::uint16_t ModifierOf(xcb_keysym_t keysym, std::uint16_t usual) const {
        const xcb_keycode_t keycode = KeycodeOf(keysym);
        const int perModifier = modifiers_ ? modifiers_->keycodes_per_modifier : 0;
        if (keycode == 0 || perModifier == 0) {
            return usual;
        }
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers_.Get());
        for (int bit = 0; bit < 8; ++bit) {
            for (int i = 0; i < perModifier; ++i) {
                if (codes[bit * perModifier + i] == keycode) {
                    return static_cast<std::uint16_t>(1U << bit);
                }
            }
        }
        return usual;
    }

private:
    const xcb_setup_t* setup_;
    XcbMemory<xcb_get_keyboard_mapping_reply_t> keys_;
    XcbMemory<xcb_get_modifier_mapping_reply_t> modifiers_;
};

std::uint16_t ModifierBits(unsigned modifiers, const Keyboard& keyboard) {
    std::uint16_t bits = 0;
    if ((modifiers & HotKey::kCtrl) != 0) {
        bits |= XCB_MOD_MASK_CONTROL;
    }
    if ((modifiers & HotKey::kShift) != 0) {
        bits |= XCB_MOD_MASK_SHIFT;
    }
    if ((modifiers & HotKey::kAlt) != 0) {
        bits |= keyboard.ModifierOf(XK_Alt_L, XCB_MOD_MASK_1);
    }
    if ((modifiers & HotKey::kWin) != 0) {
        bits |= keyboard.ModifierOf(XK_Super_L, XCB_MOD_MASK_4);
    }
    return bits;
}

}  // namespace

X11HotKeys::X11HotKeys(std::span<const HotKey> keys) : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_.Get()) != 0) {
        connection_.Reset();
        return;
    }
    const Keyboard keyboard(connection_.Get());
    const std::uint16_t numLock = keyboard.ModifierOf(XK_Num_Lock, XCB_MOD_MASK_2);
    lockModifiers_ = XCB_MOD_MASK_LOCK | numLock;
    const std::array<std::uint16_t, 4> locks{0, XCB_MOD_MASK_LOCK, numLock, lockModifiers_};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_.Get())).data->root;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const xcb_keycode_t keycode = keyboard.KeycodeOf(KeysymOf(keys[index].key));
        const std::uint16_t modifiers = ModifierBits(keys[index].modifiers, keyboard);
        if (keycode == 0) {
            std::cerr << "kov-display: the keyboard has no key for " << HotKeyText(keys[index])
                      << "\n";
        } else if (!GrabKey(root, keycode, modifiers, locks)) {
            std::cerr << "kov-display: " << HotKeyText(keys[index])
                      << " is held by another program and is left to it\n";
        } else {
            grabs_.push_back({keycode, modifiers, index});
        }
    }
}

// All four lock states or none: a key that works only with Num Lock off
// would puzzle more than one that is plainly taken.
bool X11HotKeys::GrabKey(xcb_window_t root, xcb_keycode_t keycode, std::uint16_t modifiers,
                         std::span<const std::uint16_t> locks) {
    xcb_connection_t* connection = connection_.Get();
    bool grabbed = true;
    for (const std::uint16_t lock : locks) {
        const xcb_void_cookie_t cookie =
            xcb_grab_key_checked(connection, 1, root, modifiers | lock, keycode,
                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (const XcbMemory<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
            error) {
            grabbed = false;
        }
    }
    if (!grabbed) {
        for (const std::uint16_t lock : locks) {
            xcb_ungrab_key(connection, keycode, root, modifiers | lock);
        }
        xcb_flush(connection);
    }
    return grabbed;
}

int X11HotKeys::Descriptor() const {
    return connection_ ? xcb_get_file_descriptor(connection_.Get()) : -1;
}

bool X11HotKeys::TakePresses(const std::function<void(std::size_t)>& pressed) {
    if (!connection_) {
        return false;
    }
    while (const XcbMemory<xcb_generic_event_t> event{xcb_poll_for_event(connection_.Get())}) {
        if ((event->response_type & 0x7F) != XCB_KEY_PRESS) {
            continue;
        }
        const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event.Get());
        const auto modifiers =
            static_cast<std::uint16_t>(press->state & kModifierBits & ~lockModifiers_);
        for (const Grab& grab : grabs_) {
            if (grab.keycode == press->detail && grab.modifiers == modifiers) {
                pressed(grab.index);
            }
        }
    }
    return xcb_connection_has_error(connection_.Get()) == 0;
}
