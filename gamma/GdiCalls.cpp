#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "GdiOutputs.h"
#include "Win32Handles.h"

namespace {

// A display's own context, or the desktop window's for the empty name.
class Dc {
public:
    explicit Dc(const std::wstring& name) {
        if (name.empty()) {
            desktop_.Reset(GetDC(GetDesktopWindow()));
        } else {
            created_.Reset(CreateDCW(L"DISPLAY", name.c_str(), nullptr, nullptr));
        }
    }
    HDC Get() const { return created_ ? created_.Get() : desktop_.Get(); }

private:
    UniqueCreatedDc created_;
    UniqueDesktopDc desktop_;
};

// The active paths from the display's source to its monitor; none when
// they cannot be had.
std::vector<DISPLAYCONFIG_PATH_INFO> ActivePaths() {
    UINT32 pathCount = 0;
    UINT32 modeCount = 0;
    if (GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) !=
        ERROR_SUCCESS) {
        return {};
    }
    std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
    std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
    if (QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount,
                           modes.data(), nullptr) != ERROR_SUCCESS) {
        return {};
    }
    paths.resize(pathCount);
    return paths;
}

// Asks the display configuration for one kind of information on a source
// or target; the request starts with its header.
template <typename Request>
bool AskDisplayConfig(Request& request, DISPLAYCONFIG_DEVICE_INFO_TYPE type, LUID adapter,
                      UINT32 id) {
    request.header.type = type;
    request.header.size = sizeof request;
    request.header.adapterId = adapter;
    request.header.id = id;
    return DisplayConfigGetDeviceInfo(&request.header) == ERROR_SUCCESS;
}

bool IsSourceOf(const DISPLAYCONFIG_PATH_INFO& path, const std::wstring& name) {
    DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
    return AskDisplayConfig(source, DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME,
                            path.sourceInfo.adapterId, path.sourceInfo.id) &&
           name == source.viewGdiDeviceName;
}

bool AdvancedColourOn(const DISPLAYCONFIG_PATH_INFO& path) {
    DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO colour{};
    return AskDisplayConfig(colour, DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO,
                            path.targetInfo.adapterId, path.targetInfo.id) &&
           colour.advancedColorEnabled != 0;
}

// Whether a monitor the display drives has advanced colour on. A system
// that cannot tell (before Windows 10 1709) has none.
bool AdvancedColourOn(const std::wstring& name) {
    for (const DISPLAYCONFIG_PATH_INFO& path : ActivePaths()) {
        if (IsSourceOf(path, name) && AdvancedColourOn(path)) {
            return true;
        }
    }
    return false;
}

// Wine's GDI reports no colour-management capability for any display, yet
// its displays take ramps: there the capability tells nothing.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool HasGammaRampCapability(HDC dc) {
    static const bool underWine = UnderWine();
    return underWine || (GetDeviceCaps(dc, COLORMGMTCAPS) & CM_GAMMA_RAMP) != 0;
}

class WindowsGdiCalls final : public GdiCalls {
public:
    std::vector<DisplayEntry> Displays() override {
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

    bool ShowsRamps(const std::wstring& name) override {
        const Dc dc(name);
        return dc.Get() != nullptr && HasGammaRampCapability(dc.Get()) && !AdvancedColourOn(name);
    }

    bool GetRamp(const std::wstring& name, GammaRamp& ramp) override {
        const Dc dc(name);
        return dc.Get() != nullptr && GetDeviceGammaRamp(dc.Get(), ramp.data()) != FALSE;
    }

    bool SetRamp(const std::wstring& name, const GammaRamp& ramp) override {
        // The call takes a non-const pointer but only reads the ramp.
        GammaRamp copy = ramp;
        const Dc dc(name);
        return dc.Get() != nullptr && SetDeviceGammaRamp(dc.Get(), copy.data()) != FALSE;
    }
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeScreenGammaOutputs() {
    return std::make_unique<GdiOutputs>(std::make_unique<WindowsGdiCalls>());
}
