#pragma once

// Owning handles for what XCB hands out, and a reply taken with its own
// error. Linux only: included by the X11 files alone.
#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include "UniqueHandle.h"

// A connection, closed even when it failed or was lost, as XCB asks.
using XcbConnectionHandle = UniquePointerHandle<xcb_connection_t, &xcb_disconnect>;

inline void FreeXcbMemory(void* memory) {
    std::free(memory);
}

// A reply or error XCB allocated, which the caller frees with free().
template <typename T>
using XcbReplyHandle = UniquePointerHandle<T, &FreeXcbMemory>;

// Waits for the reply to one request, with take (an xcb_..._reply
// function); nothing when the server refused the request or the connection
// is lost. The request's own error is taken here, and dropped.
template <typename Reply, typename Cookie>
XcbReplyHandle<Reply> TakeReply(Reply* (*take)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
                                xcb_connection_t* connection, Cookie cookie) {
    xcb_generic_error_t* error = nullptr;
    XcbReplyHandle<Reply> reply(take(connection, cookie, &error));
    FreeXcbMemory(error);
    return reply;
}

// Whether the server took a checked request without an error; false too
// when the connection is lost before it answers.
inline bool Accepted(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    const XcbReplyHandle<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
    return !error && xcb_connection_has_error(connection) == 0;
}
