#include "X11WindowActivation.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace {

void FreeReply(void* reply) {
    std::free(reply);
}

template <typename T>
using XcbMemory = UniquePointerHandle<T, &FreeReply>;

struct ConnectionTraits {
    using Value = xcb_connection_t*;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value value) noexcept { xcb_disconnect(value); }
};

constexpr std::uint32_t kLongestProperty = 4096;  // in 32-bit units

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const XcbMemory<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A property's bytes; empty when the window has none (or is gone).
std::string Property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
    const XcbMemory<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, property,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kLongestProperty),
                               nullptr));
    if (!reply) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.Get()));
    return {bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply.Get()))};
}

std::vector<xcb_window_t> Windows(const std::string& property) {
    std::vector<xcb_window_t> windows(property.size() / sizeof(xcb_window_t));
    property.copy(reinterpret_cast<char*>(windows.data()), windows.size() * sizeof(xcb_window_t));
    return windows;
}

// The window manager's list of top-level windows, or without one the
// root's children.
std::vector<xcb_window_t> TopLevelWindows(xcb_connection_t* connection, xcb_window_t root,
                                          xcb_atom_t clientList) {
    if (std::vector<xcb_window_t> listed = Windows(Property(connection, root, clientList));
        !listed.empty()) {
        return listed;
    }
    const XcbMemory<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.Get());
    return {children, children + xcb_query_tree_children_length(tree.Get())};
}

// WM_CLASS holds the instance and the class name, each ended by a zero.
bool HasClass(std::string_view wmClass, std::string_view windowClass) {
    const std::size_t split = wmClass.find('\0');
    if (split == std::string_view::npos) {
        return false;
    }
    const std::string_view instance = wmClass.substr(0, split);
    const std::string_view className =
        wmClass.substr(split + 1, wmClass.find('\0', split + 1) - split - 1);
    return instance == windowClass || className == windowClass;
}

void AskWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                      xcb_atom_t activeWindow) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = activeWindow;
    // Source 2, as a pager asks: window managers heed it over their
    // protection against focus stealing.
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

void RaiseAndFocus(xcb_connection_t* connection, xcb_window_t window) {
    const XcbMemory<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return;
    }
    const std::uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
}

}  // namespace

void ActivateX11Window(std::string_view windowClass, std::string_view title) {
    const UniqueHandle<ConnectionTraits> connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t* c = connection.Get();
    if (xcb_connection_has_error(c) != 0) {
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t name = Atom(c, "_NET_WM_NAME");
    const xcb_atom_t wmCheck = Atom(c, "_NET_SUPPORTING_WM_CHECK");
    for (const xcb_window_t window : TopLevelWindows(c, root, Atom(c, "_NET_CLIENT_LIST"))) {
        if (!HasClass(Property(c, window, XCB_ATOM_WM_CLASS), windowClass) ||
            (Property(c, window, name) != title &&
             Property(c, window, XCB_ATOM_WM_NAME) != title)) {
            continue;
        }
        if (!Windows(Property(c, root, wmCheck)).empty()) {
            AskWindowManager(c, root, window, Atom(c, "_NET_ACTIVE_WINDOW"));
        } else {
            RaiseAndFocus(c, window);
        }
        break;
    }
    // A round trip, so the server has taken the requests before the
    // connection goes.
    const XcbMemory<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
