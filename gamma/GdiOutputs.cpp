#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DesktopDisplays.h"
#include "GammaOutputs.h"
#include "Win32Handles.h"

namespace {

std::vector<DisplayEntry> EnumerateDisplays() {
    std::vector<DisplayEntry> entries;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &device, 0) != FALSE; ++index) {
        entries.push_back({device.DeviceName,
                           (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0,
                           (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0,
                           (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0});
    }
    return entries;
}

// A display's id: its device name (\\.\DISPLAY1), which is plain ASCII; the
// desktop window stands in, with an empty name, when no display is found.
std::string IdOf(const std::wstring& name) {
    if (name.empty()) {
        return "DESKTOP";
    }
    std::string id;
    for (const wchar_t c : name) {
        id.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return id;
}

// The displays attached to the desktop through GDI, a device context per
// display made for each read or write and deleted before it returns. GDI
// gives every display a 256-level ramp and reports no changes of its own:
// the program calls GammaDevice::Reapply on display change, resume and
// unlock.
class GdiOutputs final : public GammaOutputs {
public:
    std::vector<GammaOutput> ActiveOutputs() override {
        names_ = DesktopDisplays(EnumerateDisplays());
        if (names_.empty()) {
            names_.emplace_back();
        }
        std::vector<GammaOutput> active;
        for (const std::wstring& name : names_) {
            active.push_back({IdOf(name), kRampLevels});
        }
        return active;
    }

    std::optional<GammaTable> ReadTable(const GammaOutput& output) override {
        GammaRamp ramp{};
        const Dc dc = DcFor(output);
        if (!dc.Get() || GetDeviceGammaRamp(dc.Get(), ramp.data()) == FALSE) {
            return std::nullopt;
        }
        return GammaTable(ramp.begin(), ramp.end());
    }

    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override {
        // The call takes a non-const pointer but only reads the ramp.
        GammaRamp ramp{};
        if (table.size() != kRampSize) {
            return false;
        }
        std::ranges::copy(table, ramp.begin());
        const Dc dc = DcFor(output);
        return dc.Get() && SetDeviceGammaRamp(dc.Get(), ramp.data()) != FALSE;
    }

    bool Flush() override { return true; }
    int EventDescriptor() const override { return -1; }
    bool TakeEvents() override { return false; }

private:
    // A display's own context, or the desktop window's.
    struct Dc {
        UniqueCreatedDc created;
        UniqueDesktopDc desktop;
        HDC Get() const { return created ? created.Get() : desktop.Get(); }
    };

    // A fresh context for the output, holding nothing when the output is
    // not listed or no context can be had.
    Dc DcFor(const GammaOutput& output) const {
        Dc dc;
        const auto name = std::ranges::find(names_, output.id, &IdOf);
        if (name == names_.end() || output.levels != kRampLevels) {
            return dc;
        }
        if (name->empty()) {
            dc.desktop.Reset(GetDC(GetDesktopWindow()));
        } else {
            dc.created.Reset(CreateDCW(L"DISPLAY", name->c_str(), nullptr, nullptr));
        }
        return dc;
    }

    // The names of the displays of the last ActiveOutputs().
    std::vector<std::wstring> names_;
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeScreenGammaOutputs() {
    return std::make_unique<GdiOutputs>();
}
