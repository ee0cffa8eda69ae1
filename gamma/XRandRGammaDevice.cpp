#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "GammaDevice.h"
#include "RampResample.h"
#include "X11Resources.h"

namespace {

// Xlib's default error handler ends the program, and a CRTC can vanish
// between listing it and using it. While a trap is alive, errors are counted
// instead. Only one display is used at a time, so one count serves.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display)
        : display_(display), previous_(XSetErrorHandler(&CountError)) {
        ErrorCount = 0;
    }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;
    ~XErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }

    // Waits until the server has handled every request sent so far, so the
    // change shows at once and its errors have arrived.
    bool SyncWithoutErrors() {
        XSync(display_, False);
        return ErrorCount == 0;
    }

private:
    static int CountError(Display* /*display*/, XErrorEvent* /*error*/) {
        ++ErrorCount;
        return 0;
    }

    static inline int ErrorCount = 0;
    Display* display_;
    XErrorHandler previous_;
};

bool HasCrtcGamma(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) != False &&
           XRRQueryVersion(display, &major, &minor) != 0 &&
           (major > 1 || (major == 1 && minor >= 2));
}

// What one read or write works with: the display, an error trap on it, and
// the CRTCs of its default screen. No display, no RandR 1.2 or no screen
// resources all leave the list of CRTCs empty.
class CrtcSession {
public:
    CrtcSession() : display_(XOpenDisplay(nullptr)) {
        if (!display_ || !HasCrtcGamma(display_.Get())) {
            return;
        }
        trap_.emplace(display_.Get());
        resources_.Reset(XRRGetScreenResourcesCurrent(
            display_.Get(), RootWindow(display_.Get(), DefaultScreen(display_.Get()))));
    }

    Display* Get() const { return display_.Get(); }

    std::span<const RRCrtc> Crtcs() const {
        if (!resources_ || resources_->crtcs == nullptr || resources_->ncrtc <= 0) {
            return {};
        }
        return {resources_->crtcs, static_cast<std::size_t>(resources_->ncrtc)};
    }

    bool SyncWithoutErrors() { return trap_.has_value() && trap_->SyncWithoutErrors(); }

private:
    // Declared in this order so that they go in reverse: the resources, then
    // the trap (which syncs first), then the display.
    DisplayHandle display_;
    std::optional<XErrorTrap> trap_;
    ScreenResourcesHandle resources_;
};

// One CRTC's ramp at its own size: red, then green, then blue, each `levels` long.
struct CrtcRamp {
    RRCrtc crtc = 0;
    std::size_t levels = 0;
    std::vector<RampEntry> entries;
};

std::span<const RampEntry> Channel(const CrtcRamp& ramp, std::size_t channel) {
    return std::span<const RampEntry>(ramp.entries).subspan(channel * ramp.levels, ramp.levels);
}

std::span<const RampEntry> Channel(const GammaRamp& ramp, std::size_t channel) {
    return std::span<const RampEntry>(ramp).subspan(RampIndex(channel, 0), kRampLevels);
}

std::span<unsigned short> Channel(XRRCrtcGamma& gamma, std::size_t channel) {
    unsigned short* const tables[kRampChannels] = {gamma.red, gamma.green, gamma.blue};
    return {tables[channel], static_cast<std::size_t>(gamma.size)};
}

std::optional<CrtcRamp> ReadCrtc(Display* display, RRCrtc crtc) {
    const int size = XRRGetCrtcGammaSize(display, crtc);
    if (size <= 0) {
        return std::nullopt;
    }
    const CrtcGammaHandle gamma(XRRGetCrtcGamma(display, crtc));
    if (!gamma || gamma->size != size) {
        return std::nullopt;
    }
    CrtcRamp ramp{crtc, static_cast<std::size_t>(size), {}};
    ramp.entries.reserve(kRampChannels * ramp.levels);
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const auto table = Channel(*gamma.Get(), channel);
        ramp.entries.insert(ramp.entries.end(), table.begin(), table.end());
    }
    return ramp;
}

CrtcRamp SpreadTo(const GammaRamp& ramp, RRCrtc crtc, std::size_t levels) {
    CrtcRamp spread{crtc, levels, {}};
    spread.entries.reserve(kRampChannels * levels);
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const auto table = ResampleLevels(Channel(ramp, channel), levels);
        spread.entries.insert(spread.entries.end(), table.begin(), table.end());
    }
    return spread;
}

GammaRamp GatherFrom(const CrtcRamp& ramp) {
    GammaRamp gathered{};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const auto table = ResampleLevels(Channel(ramp, channel), kRampLevels);
        std::ranges::copy(table, gathered.begin() + RampIndex(channel, 0));
    }
    return gathered;
}

bool WriteCrtc(Display* display, const CrtcRamp& ramp) {
    const CrtcGammaHandle gamma(XRRAllocGamma(static_cast<int>(ramp.levels)));
    if (!gamma) {
        return false;
    }
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        std::ranges::copy(Channel(ramp, channel), Channel(*gamma.Get(), channel).begin());
    }
    XRRSetCrtcGamma(display, ramp.crtc, gamma.Get());
    return true;
}

// The gamma of every CRTC of the default screen of $DISPLAY. The display is
// opened for each call and closed before it returns, as the device contract
// asks: nothing stays open between slider moves, and a server that went away
// or came back in between is met afresh. What a read captured is kept here,
// so writing back the ramp it reported restores every CRTC exactly.
class XRandRGammaDevice final : public GammaDevice {
public:
    bool ReadRamp(GammaRamp& ramp) override {
        const CrtcSession session;
        std::vector<CrtcRamp> captured;
        for (const RRCrtc crtc : session.Crtcs()) {
            if (auto crtcRamp = ReadCrtc(session.Get(), crtc)) {
                captured.push_back(std::move(*crtcRamp));
            }
        }
        if (captured.empty()) {
            return false;
        }
        reported_ = GatherFrom(captured.front());
        captured_ = std::move(captured);
        ramp = *reported_;
        return true;
    }

    bool WriteRamp(const GammaRamp& ramp) override {
        CrtcSession session;
        const bool restoring = reported_.has_value() && ramp == *reported_;
        bool wroteAny = false;
        for (const RRCrtc crtc : session.Crtcs()) {
            const int size = XRRGetCrtcGammaSize(session.Get(), crtc);
            if (size <= 0) {
                continue;
            }
            const auto levels = static_cast<std::size_t>(size);
            const CrtcRamp* own = restoring ? CapturedFor(crtc, levels) : nullptr;
            wroteAny |=
                WriteCrtc(session.Get(), own != nullptr ? *own : SpreadTo(ramp, crtc, levels));
        }
        return wroteAny && session.SyncWithoutErrors();
    }

private:
    // The ramp captured from this CRTC, if it was there then at the same size.
    const CrtcRamp* CapturedFor(RRCrtc crtc, std::size_t levels) const {
        const auto found = std::ranges::find_if(captured_, [&](const CrtcRamp& ramp) {
            return ramp.crtc == crtc && ramp.levels == levels;
        });
        return found == captured_.end() ? nullptr : &*found;
    }

    std::vector<CrtcRamp> captured_;
    std::optional<GammaRamp> reported_;
};

}  // namespace

std::unique_ptr<GammaDevice> MakeScreenGammaDevice() {
    return std::make_unique<XRandRGammaDevice>();
}
