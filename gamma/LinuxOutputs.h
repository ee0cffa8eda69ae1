#pragma once

#include <memory>

#include "GammaOutputs.h"

// The two ways to a Linux desktop's gamma; MakeScreenGammaOutputs chooses.

// The gamma controls of the Wayland compositor $WAYLAND_DISPLAY names;
// nullptr when it names none, none answers, or it lets no program set the
// gamma (it offers no wlroots gamma control manager).
std::unique_ptr<GammaOutputs> MakeWaylandGammaOutputs();

// The CRTC gamma of the outputs of $DISPLAY through XRandR.
std::unique_ptr<GammaOutputs> MakeXRandRGammaOutputs();
