#include "RecordingGammaDevice.h"

bool RecordingGammaDevice::ReadRamp(GammaRamp& ramp) {
    ++reads_;
    if (failReads_) {
        return false;
    }
    ramp = screen_;
    return true;
}

bool RecordingGammaDevice::WriteRamp(const GammaRamp& ramp) {
    written_.push_back(ramp);
    if (failWrites_) {
        return false;
    }
    screen_ = ramp;
    return true;
}
