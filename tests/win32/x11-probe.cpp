// x11-probe: what the Windows end-to-end test needs to see of the X server
// that Wine draws on. Built with the host compiler by the test script.
//
//   x11-probe ramp-get                 prints the screen's gamma ramp: 768 entries,
//                                      red levels 0..255, then green, then blue
//   x11-probe ramp-set                 sets the ramp from 768 entries on standard input
//   x11-probe ramp-expect FILE R G B   exit 0 when the screen shows the ramp built
//                                      from the ramp in FILE for the offsets R G B
//   x11-probe close WINDOW             asks a window to close, as a window
//                                      manager's close box does
//
// Wine hands SetDeviceGammaRamp to the X server's XF86VidMode gamma, which
// keeps 8 significant bits of each entry, so ramps are compared at that
// precision.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "GammaRamp.h"
#include "Module_SetScreen.h"

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

DisplayHandle OpenDisplay() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::cerr << "x11-probe: cannot open the display\n";
        std::exit(2);
    }
    return display;
}

int RampSize(Display* display) {
    int size = 0;
    if (XF86VidModeGetGammaRampSize(display, DefaultScreen(display), &size) == 0 ||
        size != static_cast<int>(kRampLevels)) {
        std::cerr << "x11-probe: the screen's vidmode ramp has " << size << " levels, not "
                  << kRampLevels << "\n";
        std::exit(2);
    }
    return size;
}

GammaRamp ReadScreenRamp() {
    const DisplayHandle display = OpenDisplay();
    const int size = RampSize(display.get());
    GammaRamp ramp{};
    if (XF86VidModeGetGammaRamp(display.get(), DefaultScreen(display.get()), size, &ramp[0],
                                &ramp[kRampLevels], &ramp[2 * kRampLevels]) == 0) {
        std::cerr << "x11-probe: cannot read the vidmode ramp\n";
        std::exit(2);
    }
    return ramp;
}

void WriteScreenRamp(GammaRamp ramp) {
    const DisplayHandle display = OpenDisplay();
    const int size = RampSize(display.get());
    if (XF86VidModeSetGammaRamp(display.get(), DefaultScreen(display.get()), size, &ramp[0],
                                &ramp[kRampLevels], &ramp[2 * kRampLevels]) == 0) {
        std::cerr << "x11-probe: cannot set the vidmode ramp\n";
        std::exit(2);
    }
    XSync(display.get(), False);
}

std::int16_t ParseOffset(const char* text) {
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value < -100 || value > 100) {
        std::cerr << "x11-probe: " << text << " is no offset -100..100\n";
        std::exit(2);
    }
    return static_cast<std::int16_t>(value);
}

bool ReadRamp(std::istream& input, GammaRamp& ramp) {
    for (RampEntry& entry : ramp) {
        unsigned long value = 0;
        if (!(input >> value) || value > 65535) {
            return false;
        }
        entry = static_cast<RampEntry>(value);
    }
    return true;
}

int RampGet() {
    for (const RampEntry entry : ReadScreenRamp()) {
        std::cout << entry << "\n";
    }
    return 0;
}

int RampSet() {
    GammaRamp ramp{};
    if (!ReadRamp(std::cin, ramp)) {
        std::cerr << "x11-probe: standard input holds no ramp of 768 entries 0..65535\n";
        return 2;
    }
    WriteScreenRamp(ramp);
    return 0;
}

int RampExpect(const char* file, const char* red, const char* green, const char* blue) {
    std::ifstream input(file);
    GammaRamp captured{};
    if (!ReadRamp(input, captured)) {
        std::cerr << "x11-probe: " << file << " holds no ramp of 768 entries\n";
        return 2;
    }
    const GammaRamp expected = Module_SetScreen::BuildWorkRamp(
        captured, ParseOffset(red), ParseOffset(green), ParseOffset(blue));
    const GammaRamp screen = ReadScreenRamp();
    int differences = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        if ((screen[i] >> 8) != (expected[i] >> 8)) {
            if (++differences <= 5) {
                std::cerr << "entry " << i << ": screen " << screen[i] << ", expected "
                          << expected[i] << "\n";
            }
        }
    }
    if (differences > 0) {
        std::cerr << differences << " of 768 entries differ in their top 8 bits\n";
        return 1;
    }
    return 0;
}

int Close(const char* windowText) {
    const DisplayHandle display = OpenDisplay();
    char* end = nullptr;
    const Window window = std::strtoul(windowText, &end, 0);
    if (end == windowText || *end != '\0') {
        std::cerr << "x11-probe: " << windowText << " is no window id\n";
        return 2;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display.get(), window, False, NoEventMask, &event) == 0) {
        std::cerr << "x11-probe: cannot send to window " << windowText << "\n";
        return 2;
    }
    XSync(display.get(), False);
    return 0;
}

int Usage() {
    std::cerr << "usage: x11-probe ramp-get | ramp-set | ramp-expect FILE R G B | close WINDOW\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "ramp-get" && argc == 2) {
        return RampGet();
    }
    if (command == "ramp-set" && argc == 2) {
        return RampSet();
    }
    if (command == "ramp-expect" && argc == 6) {
        return RampExpect(argv[2], argv[3], argv[4], argv[5]);
    }
    if (command == "close" && argc == 3) {
        return Close(argv[2]);
    }
    return Usage();
}
