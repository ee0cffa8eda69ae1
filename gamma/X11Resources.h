#pragma once

// Owning handles for what Xlib and XRandR hand out, each released the way
// its library asks. Linux only: included by the X11 files alone.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include "UniqueHandle.h"

using DisplayHandle = UniquePointerHandle<Display, &XCloseDisplay>;
using ScreenResourcesHandle = UniquePointerHandle<XRRScreenResources, &XRRFreeScreenResources>;
using OutputInfoHandle = UniquePointerHandle<XRROutputInfo, &XRRFreeOutputInfo>;
using CrtcGammaHandle = UniquePointerHandle<XRRCrtcGamma, &XRRFreeGamma>;
// Memory Xlib allocated for a reply, such as a window property's value.
template <typename T>
using XMemoryHandle = UniquePointerHandle<T, &XFree>;
