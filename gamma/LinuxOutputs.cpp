#include "LinuxOutputs.h"

// A Wayland compositor that lets programs set the gamma is used directly.
// Elsewhere the X server is: on X11 it sets the gamma; under XWayland it
// takes the tables and shows nothing of them, which the XRandR backend
// reports of each such output.
std::unique_ptr<GammaOutputs> MakeScreenGammaOutputs() {
    if (auto wayland = MakeWaylandGammaOutputs()) {
        return wayland;
    }
    return MakeXRandRGammaOutputs();
}
