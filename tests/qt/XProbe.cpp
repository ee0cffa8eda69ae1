// x11-probe: what the end-to-end tests need to see of and do to the X
// server beyond xdotool.
//
//   x11-probe ramp               every CRTC's gamma: one line per CRTC, the
//                                table size, then red, green and blue entries
//   x11-probe set-ramp FILE      sets every 256-entry CRTC to the 768 numbers in FILE
//   x11-probe expect R G B FILE  the ramp the program builds from the 768
//                                numbers in FILE for offsets R, G, B
//   x11-probe title WINDOW       the window's _NET_WM_NAME, UTF-8
//   x11-probe close WINDOW       asks the window to close (WM_DELETE_WINDOW),
//                                as a window manager's close box does
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GammaRamp.h"
#include "Module_SetScreen.h"

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

struct ResourcesFree {
    void operator()(XRRScreenResources* resources) const { XRRFreeScreenResources(resources); }
};
using ResourcesHandle = std::unique_ptr<XRRScreenResources, ResourcesFree>;

struct GammaFree {
    void operator()(XRRCrtcGamma* gamma) const { XRRFreeGamma(gamma); }
};
using GammaHandle = std::unique_ptr<XRRCrtcGamma, GammaFree>;

struct XFreeDeleter {
    void operator()(unsigned char* data) const { XFree(data); }
};

DisplayHandle OpenDisplay() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::cerr << "x11-probe: cannot open the display\n";
        std::exit(2);
    }
    return display;
}

ResourcesHandle Resources(Display* display) {
    return ResourcesHandle(XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)));
}

std::optional<GammaRamp> ReadRampFile(const char* path) {
    std::ifstream file(path);
    GammaRamp ramp{};
    for (RampEntry& entry : ramp) {
        long value = -1;
        if (!(file >> value) || value < 0 || value > 65535) {
            return std::nullopt;
        }
        entry = static_cast<RampEntry>(value);
    }
    return ramp;
}

void PrintRamp(const GammaRamp& ramp) {
    std::string line;
    for (const RampEntry entry : ramp) {
        line += (line.empty() ? "" : " ") + std::to_string(entry);
    }
    std::cout << line << '\n';
}

int PrintCrtcRamps() {
    const DisplayHandle display = OpenDisplay();
    const ResourcesHandle resources = Resources(display.get());
    if (!resources || resources->ncrtc == 0) {
        std::cerr << "x11-probe: no CRTC\n";
        return 1;
    }
    for (int i = 0; i < resources->ncrtc; ++i) {
        const GammaHandle gamma(XRRGetCrtcGamma(display.get(), resources->crtcs[i]));
        if (!gamma) {
            std::cerr << "x11-probe: cannot read a CRTC's gamma\n";
            return 1;
        }
        std::string line = std::to_string(gamma->size);
        for (const unsigned short* channel : {gamma->red, gamma->green, gamma->blue}) {
            for (int level = 0; level < gamma->size; ++level) {
                line += " " + std::to_string(channel[level]);
            }
        }
        std::cout << line << '\n';
    }
    return 0;
}

int SetCrtcRamps(const char* path) {
    const std::optional<GammaRamp> ramp = ReadRampFile(path);
    if (!ramp) {
        std::cerr << "x11-probe: " << path << " does not hold 768 entries\n";
        return 1;
    }
    const DisplayHandle display = OpenDisplay();
    const ResourcesHandle resources = Resources(display.get());
    for (int i = 0; resources && i < resources->ncrtc; ++i) {
        if (XRRGetCrtcGammaSize(display.get(), resources->crtcs[i]) != kRampLevels) {
            continue;
        }
        const GammaHandle gamma(XRRAllocGamma(kRampLevels));
        for (std::size_t level = 0; level < kRampLevels; ++level) {
            gamma->red[level] = (*ramp)[RampIndex(0, level)];
            gamma->green[level] = (*ramp)[RampIndex(1, level)];
            gamma->blue[level] = (*ramp)[RampIndex(2, level)];
        }
        XRRSetCrtcGamma(display.get(), resources->crtcs[i], gamma.get());
    }
    XSync(display.get(), False);
    return 0;
}

int PrintExpectedRamp(const char* red, const char* green, const char* blue, const char* path) {
    const std::optional<GammaRamp> captured = ReadRampFile(path);
    if (!captured) {
        std::cerr << "x11-probe: " << path << " does not hold 768 entries\n";
        return 1;
    }
    const auto offset = [](const char* text) {
        return static_cast<std::int16_t>(std::strtol(text, nullptr, 10));
    };
    PrintRamp(Module_SetScreen::BuildWorkRamp(*captured, offset(red), offset(green), offset(blue)));
    return 0;
}

Window WindowArgument(const char* text) {
    return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

int PrintTitle(const char* window) {
    const DisplayHandle display = OpenDisplay();
    const Atom name = XInternAtom(display.get(), "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display.get(), "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display.get(), WindowArgument(window), name, 0, 1024, False, utf8, &type,
                           &format, &count, &remaining, &data) != Success ||
        data == nullptr) {
        return 1;
    }
    const std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    std::cout << std::string_view(reinterpret_cast<const char*>(data), count) << '\n';
    return 0;
}

int CloseWindow(const char* window) {
    const DisplayHandle display = OpenDisplay();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = WindowArgument(window);
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display.get(), event.xclient.window, False, NoEventMask, &event);
    XSync(display.get(), False);
    return 0;
}

int Usage() {
    std::cerr << "usage: x11-probe ramp | set-ramp FILE | expect R G B FILE | title WINDOW | "
                 "close WINDOW\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "ramp") {
        return PrintCrtcRamps();
    }
    if (args.size() == 2 && args[0] == "set-ramp") {
        return SetCrtcRamps(argv[2]);
    }
    if (args.size() == 5 && args[0] == "expect") {
        return PrintExpectedRamp(argv[2], argv[3], argv[4], argv[5]);
    }
    if (args.size() == 2 && args[0] == "title") {
        return PrintTitle(argv[2]);
    }
    if (args.size() == 2 && args[0] == "close") {
        return CloseWindow(argv[2]);
    }
    return Usage();
}
