#include "Module_SetScreen.h"

namespace Module_SetScreen {

namespace {
GammaDevice* Device = nullptr;
}  // namespace

void UseDevice(GammaDevice* device) { Device = device; }

void SaveGamma() {
    GammaRamp captured{};
    if (Device != nullptr && Device->ReadRamp(captured)) {
        SavedRamp = captured;
        RampCaptured = true;
    }
}

void ApplyGamma(std::int16_t red, std::int16_t green, std::int16_t blue) {
    if (!RampCaptured || Device == nullptr) {
        return;
    }
    WorkRamp = BuildWorkRamp(SavedRamp, red, green, blue);
    Device->WriteRamp(WorkRamp);
}

void RestoreGamma() {
    if (RampCaptured && Device != nullptr) {
        Device->WriteRamp(SavedRamp);
    }
}

void ResetState() {
    Device = nullptr;
    SavedRamp = {};
    WorkRamp = {};
    RampCaptured = false;
    CurRed = 0;
    CurGreen = 0;
    CurBlue = 0;
}

}  // namespace Module_SetScreen
