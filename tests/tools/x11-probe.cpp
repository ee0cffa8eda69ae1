// x11-probe outputs | expect R G B LISTING [SHOWN] | close WINDOW
// `outputs` prints "NAME LEVELS ENTRIES..." for each CRTC's gamma and for
// the XF86VidMode ramp, "vidmode", where Wine puts its ramp. `expect` exits
// 1 unless each table listed (no entries: the identity) now shows, on the
// server or as SHOWN lists, what the program builds from it for offsets
// R G B; vidmode keeps 8 bits. `close` asks a window to close.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "GammaDevice.h"
#include "UniqueHandle.h"

namespace {

using DisplayHandle = UniquePointerHandle<Display, &XCloseDisplay>;
using ScreenResourcesHandle = UniquePointerHandle<XRRScreenResources, &XRRFreeScreenResources>;
using OutputInfoHandle = UniquePointerHandle<XRROutputInfo, &XRRFreeOutputInfo>;
using CrtcGammaHandle = UniquePointerHandle<XRRCrtcGamma, &XRRFreeGamma>;

using Tables = std::map<std::string, GammaTable>;

Tables ReadServer(Display* display) {
    const ScreenResourcesHandle resources(
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)));
    Tables tables;
    for (int i = 0; resources && i < resources->noutput; ++i) {
        const OutputInfoHandle info(
            XRRGetOutputInfo(display, resources.Get(), resources->outputs[i]));
        const CrtcGammaHandle gamma(
            info && info->crtc != None ? XRRGetCrtcGamma(display, info->crtc) : nullptr);
        if (gamma) {
            GammaTable& table = tables[std::string(info->name, info->nameLen)];
            for (const unsigned short* channel : {gamma->red, gamma->green, gamma->blue}) {
                table.insert(table.end(), channel, channel + gamma->size);
            }
        }
    }
    GammaTable ramp(kRampSize);
    int size = 0;
    if (XF86VidModeGetGammaRampSize(display, DefaultScreen(display), &size) != 0 &&
        size == static_cast<int>(kRampLevels) &&
        XF86VidModeGetGammaRamp(display, DefaultScreen(display), size, &ramp[0], &ramp[kRampLevels],
                                &ramp[2 * kRampLevels]) != 0) {
        tables["vidmode"] = ramp;
    }
    return tables;
}

Tables ReadListing(const char* path) {
    std::ifstream listing(path);
    Tables tables;
    for (std::string line; std::getline(listing, line);) {
        std::istringstream fields(line);
        std::string name;
        std::size_t levels = 0;
        fields >> name >> levels;
        const GammaTable listed{std::istream_iterator<RampEntry>(fields), {}};
        tables[name] = listed.empty() ? IdentityTable(levels) : listed;
    }
    return tables;
}

int Expect(Display* display, char* args[], const char* shownPath) {
    const Tables listed = ReadListing(args[3]);
    const Tables tables = shownPath != nullptr ? ReadListing(shownPath) : ReadServer(display);
    int differing = 0;
    const auto offset = [args](int i) { return static_cast<std::int16_t>(std::atoi(args[i])); };
    for (const auto& [name, base] : listed) {
        const GammaTable expected = BuildOutputTable(base, offset(0), offset(1), offset(2));
        const GammaTable shown = tables.contains(name) ? tables.at(name) : GammaTable{};
        const int shift = name == "vidmode" ? 8 : 0;
        const auto top = [shift](RampEntry entry) { return entry >> shift; };
        if (!std::ranges::equal(shown, expected, {}, top, top)) {
            std::cerr << name << ": " << shown.size() << " entries, not those expected\n";
            ++differing;
        }
    }
    return listed.empty() || differing > 0 ? 1 : 0;
}

int Close(Display* display, const char* window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(window, nullptr, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (display && command == "outputs" && argc == 2) {
        for (const auto& [name, table] : ReadServer(display.Get())) {
            std::cout << name << ' ' << table.size() / kRampChannels;
            std::ranges::copy(table, std::ostream_iterator<RampEntry>(std::cout << ' ', " "));
            std::cout << '\n';
        }
        return 0;
    }
    if (display && command == "expect" && (argc == 6 || argc == 7)) {
        return Expect(display.Get(), argv + 2, argc == 7 ? argv[6] : nullptr);
    }
    if (display && command == "close" && argc == 3) {
        return Close(display.Get(), argv[2]);
    }
    std::cerr
        << "x11-probe: no display, or not outputs | expect R G B LISTING [SHOWN] | close WINDOW\n";
    return 2;
}
