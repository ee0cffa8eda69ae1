#pragma once

#include <memory>

#include "GammaRamp.h"

// The screen's gamma ramp as a device: read it, set it. Each call stands
// alone and holds no platform resource once it has returned.
class GammaDevice {
public:
    GammaDevice() = default;
    GammaDevice(const GammaDevice&) = delete;
    GammaDevice& operator=(const GammaDevice&) = delete;
    virtual ~GammaDevice() = default;

    // Fills ramp with the screen's current ramp; false if it cannot be read,
    // in which case ramp is left as it was.
    virtual bool ReadRamp(GammaRamp& ramp) = 0;

    // Makes the screen use ramp at once; false if the screen refused it.
    virtual bool WriteRamp(const GammaRamp& ramp) = 0;
};

// The gamma device of this platform's screen. Each platform's backend file
// defines it; the build links exactly one of them.
std::unique_ptr<GammaDevice> MakeScreenGammaDevice();
