#include "Module_SetScreen.h"

namespace Module_SetScreen {

namespace {
GammaDevice* Device = nullptr;
}  // namespace

void UseDevice(GammaDevice* device) {
    Device = device;
}

void SaveGamma() {
    if (Device == nullptr) {
        return;
    }
    if (const auto captured = Device->Capture()) {
        SavedRamp = *captured;
        RampCaptured = true;
    }
}

void ApplyGamma(std::int16_t red, std::int16_t green, std::int16_t blue) {
    if (!RampCaptured || Device == nullptr) {
        return;
    }
    WorkRamp = BuildWorkRamp(SavedRamp, red, green, blue);
    Device->Apply(red, green, blue);
}

void RestoreGamma() {
    if (RampCaptured && Device != nullptr) {
        Device->Restore();
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
