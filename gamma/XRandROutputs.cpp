#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "LinuxOutputs.h"
#include "X11Resources.h"

namespace {

// Our X connection and what Xlib's handlers learn about it.
struct XConnection {
    DisplayHandle display;
    int eventBase = 0;
    int errors = 0;
    bool lost = false;
};

// Xlib reports protocol errors and a lost connection through process-wide
// handlers whose defaults end the program. While one of our calls runs, the
// handlers are ours: they count the errors of our connection and mark it
// lost, and pass any other display's to the handlers they replaced. Errors
// reach a connection only inside calls on it, so this catches them all.
class HandlerScope {
public:
    explicit HandlerScope(XConnection& connection)
        : connection_(std::exchange(Current, &connection)),
          error_(std::exchange(PreviousError, XSetErrorHandler(&OnError))),
          ioError_(std::exchange(PreviousIoError, XSetIOErrorHandler(&OnIoError))) {}
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
    ~HandlerScope() {
        XSetErrorHandler(std::exchange(PreviousError, error_));
        XSetIOErrorHandler(std::exchange(PreviousIoError, ioError_));
        Current = connection_;
    }

    // Xlib calls this after the I/O error handler returns; returning here
    // instead of exiting leaves the connection dead but the program alive.
    static void OnIoErrorExit(Display* /*display*/, void* connection) {
        static_cast<XConnection*>(connection)->lost = true;
    }

private:
    static bool IsOurs(Display* display) {
        return Current != nullptr && Current->display.Get() == display;
    }
    static int OnError(Display* display, XErrorEvent* error) {
        if (IsOurs(display)) {
            ++Current->errors;
            return 0;
        }
        return PreviousError != nullptr ? PreviousError(display, error) : 0;
    }
    static int OnIoError(Display* display) {
        if (IsOurs(display)) {
            Current->lost = true;
            return 0;
        }
        return PreviousIoError != nullptr ? PreviousIoError(display) : 0;
    }

    static inline XConnection* Current = nullptr;
    static inline XErrorHandler PreviousError = nullptr;
    static inline XIOErrorHandler PreviousIoError = nullptr;

    XConnection* connection_;
    XErrorHandler error_;
    XIOErrorHandler ioError_;
};

// The CRTC gamma of the outputs of $DISPLAY's default screen through RandR
// 1.2. One connection, opened by the first ActiveOutputs(), serves every
// call until this is destroyed; the server's RandR change events arrive on
// it. Outputs that share a CRTC (a cloned picture) are listed once.
// XWayland's outputs (XWAYLAND0, ...) are reported as showing no table:
// XWayland takes every table and shows none of them.
class XRandROutputs final : public GammaOutputs {
public:
    XRandROutputs() = default;
    XRandROutputs(const XRandROutputs&) = delete;
    XRandROutputs& operator=(const XRandROutputs&) = delete;
    ~XRandROutputs() override {
        // Closing syncs with the server, which may have gone meanwhile.
        const HandlerScope scope(connection_);
        connection_.display.Reset();
    }

    std::vector<GammaOutput> ActiveOutputs() override {
        const HandlerScope scope(connection_);
        crtcs_.clear();
        Display* const display = Connected();
        if (display == nullptr) {
            return {};
        }
        const Window root = DefaultRootWindow(display);
        const ScreenResourcesHandle resources(XRRGetScreenResourcesCurrent(display, root));
        if (!resources || resources->outputs == nullptr) {
            return {};
        }
        std::vector<RROutput> order(resources->outputs, resources->outputs + resources->noutput);
        const RROutput primary = XRRGetOutputPrimary(display, root);
        std::stable_partition(order.begin(), order.end(),
                              [&](RROutput output) { return output == primary; });
        std::vector<GammaOutput> active;
        for (const RROutput output : order) {
            const OutputInfoHandle info(XRRGetOutputInfo(display, resources.Get(), output));
            if (!info || info->crtc == None || CrtcListed(info->crtc)) {
                continue;
            }
            const int size = XRRGetCrtcGammaSize(display, info->crtc);
            if (size > 0) {
                crtcs_.emplace_back(std::string(info->name, info->nameLen), info->crtc);
                const std::string& id = crtcs_.back().first;
                active.push_back({id, static_cast<std::size_t>(size), !id.starts_with("XWAYLAND")});
            }
        }
        return active;
    }

    std::optional<GammaTable> ReadTable(const GammaOutput& output) override {
        const HandlerScope scope(connection_);
        Display* const display = Usable();
        const RRCrtc crtc = CrtcOf(output.id);
        const int levels = static_cast<int>(output.levels);
        if (display == nullptr || crtc == None || XRRGetCrtcGammaSize(display, crtc) != levels) {
            return std::nullopt;
        }
        const CrtcGammaHandle gamma(XRRGetCrtcGamma(display, crtc));
        if (!gamma || gamma->size != levels) {
            return std::nullopt;
        }
        GammaTable table;
        table.reserve(kRampChannels * output.levels);
        for (const unsigned short* channel : {gamma->red, gamma->green, gamma->blue}) {
            table.insert(table.end(), channel, channel + levels);
        }
        return table;
    }

    bool WriteTable(const GammaOutput& output, std::span<const RampEntry> table) override {
        const HandlerScope scope(connection_);
        Display* const display = Usable();
        const RRCrtc crtc = CrtcOf(output.id);
        if (display == nullptr || crtc == None || table.size() != kRampChannels * output.levels) {
            return false;
        }
        const CrtcGammaHandle gamma(XRRAllocGamma(static_cast<int>(output.levels)));
        if (!gamma) {
            return false;
        }
        const auto levels = static_cast<std::ptrdiff_t>(output.levels);
        std::copy_n(table.begin(), levels, gamma->red);
        std::copy_n(table.begin() + levels, levels, gamma->green);
        std::copy_n(table.begin() + 2 * levels, levels, gamma->blue);
        XRRSetCrtcGamma(display, crtc, gamma.Get());
        return true;
    }

    bool Flush() override {
        const HandlerScope scope(connection_);
        Display* const display = Usable();
        if (display == nullptr) {
            return false;
        }
        XSync(display, False);
        return std::exchange(connection_.errors, 0) == 0 && !connection_.lost;
    }

    int EventDescriptor() const override {
        Display* const display = Usable();
        return display != nullptr ? ConnectionNumber(display) : -1;
    }

    bool TakeEvents() override {
        const HandlerScope scope(connection_);
        bool changed = false;
        for (Display* display = Usable(); display != nullptr && XPending(display) > 0;
             display = Usable()) {
            XEvent event{};
            XNextEvent(display, &event);
            XRRUpdateConfiguration(&event);
            changed = changed || event.type == connection_.eventBase + RRScreenChangeNotify ||
                      event.type == connection_.eventBase + RRNotify;
        }
        return changed;
    }

private:
    // The connection when it is up; nullptr before it opens and once lost.
    Display* Usable() const { return connection_.lost ? nullptr : connection_.display.Get(); }

    // Opens the connection the first time (and again while no server could
    // be reached), with RandR 1.2 or later and its change events selected.
    Display* Connected() {
        if (!connection_.display && !connection_.lost) {
            connection_.display.Reset(XOpenDisplay(nullptr));
            if (connection_.display && !Prepare(connection_.display.Get())) {
                connection_.display.Reset();
            }
        }
        return Usable();
    }

    bool Prepare(Display* display) {
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        if (XRRQueryExtension(display, &connection_.eventBase, &errorBase) == False ||
            XRRQueryVersion(display, &major, &minor) == 0 || (major == 1 && minor < 2)) {
            return false;
        }
        XSetIOErrorExitHandler(display, &HandlerScope::OnIoErrorExit, &connection_);
        XRRSelectInput(
            display, DefaultRootWindow(display),
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
        return true;
    }

    bool CrtcListed(RRCrtc crtc) const {
        return std::ranges::find(crtcs_, crtc, &std::pair<std::string, RRCrtc>::second) !=
               crtcs_.end();
    }

    RRCrtc CrtcOf(const std::string& id) const {
        const auto found = std::ranges::find(crtcs_, id, &std::pair<std::string, RRCrtc>::first);
        return found != crtcs_.end() ? found->second : None;
    }

    XConnection connection_;
    // Each listed output's CRTC, from the last ActiveOutputs().
    std::vector<std::pair<std::string, RRCrtc>> crtcs_;
};

}  // namespace

std::unique_ptr<GammaOutputs> MakeXRandRGammaOutputs() {
    return std::make_unique<XRandROutputs>();
}
