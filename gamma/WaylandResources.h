#pragma once

// Owning handles for the objects of a Wayland client connection, each
// released the way its protocol asks. Linux only: included by the Wayland
// backend alone. Every object must go before the display it came from.
#include <wayland-client.h>

#include "UniqueHandle.h"
#include "wlr-gamma-control-client-protocol.h"

// An output bound at version 3 or later is released, so that the compositor
// frees its side too; an older one can only be forgotten.
inline void ReleaseOutput(wl_output* output) {
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output);
    } else {
        wl_output_destroy(output);
    }
}

using WaylandDisplayHandle = UniquePointerHandle<wl_display, &wl_display_disconnect>;
using WaylandRegistryHandle = UniquePointerHandle<wl_registry, &wl_registry_destroy>;
using WaylandCallbackHandle = UniquePointerHandle<wl_callback, &wl_callback_destroy>;
using WaylandOutputHandle = UniquePointerHandle<wl_output, &ReleaseOutput>;
using GammaControlManagerHandle =
    UniquePointerHandle<zwlr_gamma_control_manager_v1, &zwlr_gamma_control_manager_v1_destroy>;
using GammaControlHandle =
    UniquePointerHandle<zwlr_gamma_control_v1, &zwlr_gamma_control_v1_destroy>;
