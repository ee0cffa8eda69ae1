#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
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

// Display names are plain ASCII (\\.\DISPLAY1); the id keeps them as UTF-8.
std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

// The id of the one output when enumeration finds no display.
constexpr const char* kDesktopId = "DESKTOP";

// The displays attached to the desktop through GDI, a device context per
// display made for each read or write and deleted before it returns. Only
// when the enumeration finds no display is the desktop window's context used.
// GDI gives every display a 256-level ramp and reports no changes of its
// own: the program calls GammaDevice::Reapply on display change, resume and
// unlock.
class GdiOutputs final : public GammaOutputs {
public:
    std::vector<GammaOutput> ActiveOutputs() override {
        displays_.clear();
        for (std::wstring& name : DesktopDisplays(EnumerateDisplays())) {
            displays_.emplace_back(Utf8(name), std::move(name));
        }
        if (displays_.empty()) {
            displays_.emplace_back(kDesktopId, L"");
        }
        std::vector<GammaOutput> active;
        for (const auto& display : displays_) {
            active.push_back({display.first, kRampLevels});
        }
        return active;
    }

    std::optional<GammaTable> ReadTable(const GammaOutput& output) override {
        GammaRamp ramp{};
        const bool read = output.levels == kRampLevels && WithDc(output.id, [&](HDC dc) {
                              return GetDeviceGammaRamp(dc, ramp.data()) != FALSE;
                          });
        return read ? std::optional<GammaTable>(std::in_place, ramp.begin(), ramp.end())
                    : std::nullopt;
    }

    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override {
        if (table.size() != kRampSize) {
            return false;
        }
        // The call takes a non-const pointer but only reads the ramp.
        GammaRamp ramp{};
        std::ranges::copy(table, ramp.begin());
        return WithDc(output.id,
                      [&](HDC dc) { return SetDeviceGammaRamp(dc, ramp.data()) != FALSE; });
    }

    bool Flush() override { return true; }
    int EventDescriptor() const override { return -1; }
    bool TakeEvents() override { return false; }

private:
    // Runs use with a fresh device context for the display; false when the
    // display is unknown or no context can be had.
    template <typename Use>
    bool WithDc(const std::string& id, Use use) const {
        const auto found = std::ranges::find(displays_, id, &Display::first);
        if (found == displays_.end()) {
            return false;
        }
        if (found->second.empty()) {
            const UniqueDesktopDc dc(GetDC(GetDesktopWindow()));
            return dc && use(dc.Get());
        }
        const UniqueCreatedDc dc(CreateDCW(L"DISPLAY", found->second.c_str(), nullptr, nullptr));
        return dc && use(dc.Get());
    }

    // Each listed output's id and display name, from the last ActiveOutputs().
    using Display = std::pair<std::string, std::wstring>;
    std::vector<Display> displays_;
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeScreenGammaOutputs() {
    return std::make_unique<GdiOutputs>();
}
