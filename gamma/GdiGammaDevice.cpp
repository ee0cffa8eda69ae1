#include <windows.h>

#include "GammaDevice.h"

namespace {

// The whole screen's device context, obtained from the desktop window and
// released with that same window when the holder goes out of scope.
class DesktopDc {
public:
    DesktopDc() : window_(GetDesktopWindow()), dc_(GetDC(window_)) {}
    DesktopDc(const DesktopDc&) = delete;
    DesktopDc& operator=(const DesktopDc&) = delete;
    ~DesktopDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The screen's ramp through GDI. A device context is taken for each call and
// released before it returns, so nothing is held between slider moves.
class GdiGammaDevice final : public GammaDevice {
public:
    bool ReadRamp(GammaRamp& ramp) override {
        const DesktopDc dc;
        GammaRamp read{};
        if (dc.Get() == nullptr || GetDeviceGammaRamp(dc.Get(), read.data()) == FALSE) {
            return false;
        }
        ramp = read;
        return true;
    }

    bool WriteRamp(const GammaRamp& ramp) override {
        const DesktopDc dc;
        // The call takes a non-const pointer but only reads the ramp.
        GammaRamp copy = ramp;
        return dc.Get() != nullptr && SetDeviceGammaRamp(dc.Get(), copy.data()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<GammaDevice> MakeScreenGammaDevice() { return std::make_unique<GdiGammaDevice>(); }
