#include "GammaDevice.h"

// Placeholder until the XRandR backend lands.
std::unique_ptr<GammaDevice> MakeScreenGammaDevice() { return nullptr; }
