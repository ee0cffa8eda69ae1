#pragma once

// Owning handles for what Xlib and XRandR hand out, each released the way
// its library asks. Linux only: included by the X11 files alone.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>

struct CloseDisplay {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct FreeScreenResources {
    void operator()(XRRScreenResources* resources) const { XRRFreeScreenResources(resources); }
};
struct FreeCrtcGamma {
    void operator()(XRRCrtcGamma* gamma) const { XRRFreeGamma(gamma); }
};
// Memory Xlib allocated for a reply, such as a window property's value.
struct FreeXMemory {
    void operator()(void* data) const { XFree(data); }
};

using DisplayHandle = std::unique_ptr<Display, CloseDisplay>;
using ScreenResourcesHandle = std::unique_ptr<XRRScreenResources, FreeScreenResources>;
using CrtcGammaHandle = std::unique_ptr<XRRCrtcGamma, FreeCrtcGamma>;
template <typename T>
using XMemoryHandle = std::unique_ptr<T, FreeXMemory>;
