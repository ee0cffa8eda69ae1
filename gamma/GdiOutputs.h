#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DesktopDisplays.h"
#include "GammaOutputs.h"
#include "GammaRamp.h"

// The calls to Windows that the displays' gamma takes, by display name
// (\\.\DISPLAY1, as CreateDCW takes it; empty for the desktop window's
// context). Each makes its own device context and deletes it before it
// returns.
class GdiCalls {
public:
    GdiCalls() = default;
    GdiCalls(const GdiCalls&) = delete;
    GdiCalls& operator=(const GdiCalls&) = delete;
    virtual ~GdiCalls() = default;

    // Every display device, as EnumDisplayDevicesW lists them.
    virtual std::vector<DisplayEntry> Displays() = 0;
    // Whether the display shows gamma ramps at all: its context has the
    // CM_GAMMA_RAMP capability, and advanced colour (HDR), whose pipeline
    // passes the ramp by, is off.
    virtual bool ShowsRamps(const std::wstring& name) = 0;
    // GetDeviceGammaRamp and SetDeviceGammaRamp; false where they fail.
    virtual bool GetRamp(const std::wstring& name, GammaRamp& ramp) = 0;
    virtual bool SetRamp(const std::wstring& name, const GammaRamp& ramp) = 0;
};

// The displays attached to the desktop that show ramps, each with a 256-level
// ramp. Windows takes a ramp only while every entry stays near the identity
// (see FitTable), and its refusal may come as FALSE or, since Windows 10 1903,
// as TRUE with nothing set: a write counts only once the ramp read back is
// the one written. GDI reports no changes of its own: the program calls
// GammaDevice::Reapply on display change, resume and unlock, and each
// ActiveOutputs() asks again which displays show ramps.
class GdiOutputs final : public GammaOutputs {
public:
    explicit GdiOutputs(std::unique_ptr<GdiCalls> gdi) : gdi_(std::move(gdi)) {}

    std::vector<GammaOutput> ActiveOutputs() override;
    std::optional<GammaTable> ReadTable(const GammaOutput& output) override;
    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override;
    // Holds entry i of each channel within (i - 128) * 256 .. (i + 128) * 256,
    // the window Windows accepts unless the GdiIcmGammaRange registry value
    // widens it (which the program never writes). An identity base's tables
    // lie inside already and stay exact.
    void FitTable(const GammaOutput& output, std::span<const RampEntry> base,
                  std::span<RampEntry> table) const override;
    bool Flush() override { return true; }
    int EventDescriptor() const override { return -1; }
    bool TakeEvents() override { return false; }

private:
    const std::wstring* NameOf(const GammaOutput& output) const;

    std::unique_ptr<GdiCalls> gdi_;
    // The names of the displays of the last ActiveOutputs().
    std::vector<std::wstring> names_;
};
