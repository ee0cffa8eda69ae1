// x11-probe: what the end-to-end tests need to see of, and do to, the X
// server beyond xdotool. The Qt program sets the gamma of every RandR CRTC;
// Wine hands the Windows program's ramp to the server's XF86VidMode gamma,
// which keeps only the top 8 bits of each entry.
//
//   x11-probe crtc-ramp                  every CRTC's gamma, a line each: the
//                                        table size, then red, green, blue
//   x11-probe crtc-set FILE              sets every 256-level CRTC to the ramp in FILE
//   x11-probe crtc-expect R G B FILE     exit 0 when every CRTC holds exactly the
//                                        ramp built from the ramp in FILE for
//                                        the offsets R G B
//   x11-probe vidmode-ramp               the screen's vidmode ramp on one line
//   x11-probe vidmode-set FILE           sets the vidmode ramp to the ramp in FILE
//   x11-probe vidmode-expect R G B FILE  as crtc-expect for the vidmode ramp,
//                                        comparing the top 8 bits
//   x11-probe title WINDOW               the window's _NET_WM_NAME, UTF-8
//   x11-probe close WINDOW               asks the window to close, as a window
//                                        manager's close box does
//
// A ramp file holds 768 numbers 0..65535: red levels 0..255, then green,
// then blue. Exit status 1 is a mismatch or a refused request, 2 a usage error
// or no display.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GammaRamp.h"
#include "Module_SetScreen.h"
#include "X11Resources.h"

namespace {

constexpr int kMismatch = 1;
constexpr int kUsage = 2;
// The level count as Xlib's calls take it.
constexpr int kLevels = static_cast<int>(kRampLevels);

DisplayHandle OpenDisplay() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::cerr << "x11-probe: cannot open the display\n";
        std::exit(kUsage);
    }
    return display;
}

std::optional<GammaRamp> ReadRampFile(const char* path) {
    std::ifstream file(path);
    GammaRamp ramp{};
    for (RampEntry& entry : ramp) {
        unsigned long value = 0;
        if (!(file >> value) || value > 65535) {
            std::cerr << "x11-probe: " << path << " holds no ramp of 768 entries 0..65535\n";
            return std::nullopt;
        }
        entry = static_cast<RampEntry>(value);
    }
    return ramp;
}

std::optional<std::int16_t> ParseOffset(const char* text) {
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value < -100 || value > 100) {
        std::cerr << "x11-probe: " << text << " is no offset -100..100\n";
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

// The ramp the program builds for offsets R G B from the ramp in FILE.
std::optional<GammaRamp> ExpectedRamp(char* args[]) {
    const auto red = ParseOffset(args[0]);
    const auto green = ParseOffset(args[1]);
    const auto blue = ParseOffset(args[2]);
    const auto captured = ReadRampFile(args[3]);
    if (!red || !green || !blue || !captured) {
        return std::nullopt;
    }
    return Module_SetScreen::BuildWorkRamp(*captured, *red, *green, *blue);
}

// Reports the entries whose top `bits` differ, the first few in detail;
// gives their number.
int CountDifferences(std::string_view where, const std::vector<RampEntry>& shown,
                     const GammaRamp& expected, int bits) {
    if (shown.size() != expected.size()) {
        std::cerr << where << ": " << shown.size() / kRampChannels << " levels, not " << kRampLevels
                  << "\n";
        return static_cast<int>(expected.size());
    }
    const int shift = 16 - bits;
    int differences = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if ((shown[i] >> shift) != (expected[i] >> shift) && ++differences <= 5) {
            std::cerr << where << " entry " << i << ": shown " << shown[i] << ", expected "
                      << expected[i] << "\n";
        }
    }
    if (differences > 0) {
        std::cerr << where << ": " << differences << " of " << shown.size()
                  << " entries differ in their top " << bits << " bits\n";
    }
    return differences;
}

void PrintEntries(const std::vector<RampEntry>& entries, std::string line) {
    for (const RampEntry entry : entries) {
        line += (line.empty() ? "" : " ") + std::to_string(entry);
    }
    std::cout << line << '\n';
}

// --- RandR CRTC gamma ------------------------------------------------------

// Every CRTC's table: red, then green, then blue, at the CRTC's own size.
// Empty when there is no CRTC or one cannot be read.
std::vector<std::vector<RampEntry>> ReadCrtcTables(Display* display) {
    const ScreenResourcesHandle resources(
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)));
    std::vector<std::vector<RampEntry>> tables;
    for (int i = 0; resources && i < resources->ncrtc; ++i) {
        const CrtcGammaHandle gamma(XRRGetCrtcGamma(display, resources->crtcs[i]));
        if (!gamma) {
            std::cerr << "x11-probe: cannot read the gamma of CRTC " << i << "\n";
            return {};
        }
        std::vector<RampEntry>& table = tables.emplace_back();
        for (const unsigned short* channel : {gamma->red, gamma->green, gamma->blue}) {
            table.insert(table.end(), channel, channel + gamma->size);
        }
    }
    if (tables.empty()) {
        std::cerr << "x11-probe: no CRTC gamma to read\n";
    }
    return tables;
}

int CrtcRamp() {
    const DisplayHandle display = OpenDisplay();
    const auto tables = ReadCrtcTables(display.Get());
    for (const auto& table : tables) {
        PrintEntries(table, std::to_string(table.size() / kRampChannels));
    }
    return tables.empty() ? kMismatch : 0;
}

int CrtcSet(const char* path) {
    const auto ramp = ReadRampFile(path);
    if (!ramp) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    const ScreenResourcesHandle resources(
        XRRGetScreenResourcesCurrent(display.Get(), DefaultRootWindow(display.Get())));
    int set = 0;
    for (int i = 0; resources && i < resources->ncrtc; ++i) {
        if (XRRGetCrtcGammaSize(display.Get(), resources->crtcs[i]) != kLevels) {
            continue;
        }
        const CrtcGammaHandle gamma(XRRAllocGamma(kLevels));
        for (std::size_t level = 0; level < kRampLevels; ++level) {
            gamma->red[level] = (*ramp)[RampIndex(0, level)];
            gamma->green[level] = (*ramp)[RampIndex(1, level)];
            gamma->blue[level] = (*ramp)[RampIndex(2, level)];
        }
        XRRSetCrtcGamma(display.Get(), resources->crtcs[i], gamma.Get());
        ++set;
    }
    XSync(display.Get(), False);
    if (set == 0) {
        std::cerr << "x11-probe: no CRTC with " << kRampLevels << " levels\n";
        return kMismatch;
    }
    return 0;
}

int CrtcExpect(char* args[]) {
    const auto expected = ExpectedRamp(args);
    if (!expected) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    const auto tables = ReadCrtcTables(display.Get());
    int differences = 0;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        differences += CountDifferences("CRTC " + std::to_string(i), tables[i], *expected, 16);
    }
    return tables.empty() || differences > 0 ? kMismatch : 0;
}

// --- XF86VidMode gamma -----------------------------------------------------

bool HasVidModeRamp(Display* display) {
    int size = 0;
    if (XF86VidModeGetGammaRampSize(display, DefaultScreen(display), &size) == 0 ||
        size != kLevels) {
        std::cerr << "x11-probe: the screen's vidmode ramp has " << size << " levels, not "
                  << kRampLevels << "\n";
        return false;
    }
    return true;
}

std::optional<std::vector<RampEntry>> ReadVidModeRamp(Display* display) {
    std::vector<RampEntry> ramp(kRampChannels * kRampLevels);
    if (!HasVidModeRamp(display) ||
        XF86VidModeGetGammaRamp(display, DefaultScreen(display), kLevels, &ramp[0],
                                &ramp[kRampLevels], &ramp[2 * kRampLevels]) == 0) {
        std::cerr << "x11-probe: cannot read the vidmode ramp\n";
        return std::nullopt;
    }
    return ramp;
}

int VidModeRamp() {
    const DisplayHandle display = OpenDisplay();
    const auto ramp = ReadVidModeRamp(display.Get());
    if (!ramp) {
        return kMismatch;
    }
    PrintEntries(*ramp, "");
    return 0;
}

int VidModeSet(const char* path) {
    auto ramp = ReadRampFile(path);
    if (!ramp) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    if (!HasVidModeRamp(display.Get()) ||
        XF86VidModeSetGammaRamp(display.Get(), DefaultScreen(display.Get()), kLevels, &(*ramp)[0],
                                &(*ramp)[kRampLevels], &(*ramp)[2 * kRampLevels]) == 0) {
        std::cerr << "x11-probe: cannot set the vidmode ramp\n";
        return kMismatch;
    }
    XSync(display.Get(), False);
    return 0;
}

int VidModeExpect(char* args[]) {
    const auto expected = ExpectedRamp(args);
    if (!expected) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    const auto ramp = ReadVidModeRamp(display.Get());
    return !ramp || CountDifferences("vidmode", *ramp, *expected, 8) > 0 ? kMismatch : 0;
}

// --- Windows ---------------------------------------------------------------

std::optional<Window> ParseWindow(const char* text) {
    char* end = nullptr;
    const Window window = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0') {
        std::cerr << "x11-probe: " << text << " is no window id\n";
        return std::nullopt;
    }
    return window;
}

int Title(const char* windowText) {
    const auto window = ParseWindow(windowText);
    if (!window) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    const Atom name = XInternAtom(display.Get(), "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display.Get(), "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display.Get(), *window, name, 0, 1024, False, utf8, &type,
                                          &format, &count, &remaining, &data);
    const XMemoryHandle<unsigned char> owned(data);
    if (status != Success || !owned) {
        std::cerr << "x11-probe: window " << windowText << " has no _NET_WM_NAME\n";
        return kMismatch;
    }
    std::cout << std::string_view(reinterpret_cast<const char*>(owned.Get()), count) << '\n';
    return 0;
}

int Close(const char* windowText) {
    const auto window = ParseWindow(windowText);
    if (!window) {
        return kUsage;
    }
    const DisplayHandle display = OpenDisplay();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = *window;
    event.xclient.message_type = XInternAtom(display.Get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(XInternAtom(display.Get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (XSendEvent(display.Get(), *window, False, NoEventMask, &event) == 0) {
        std::cerr << "x11-probe: cannot send to window " << windowText << "\n";
        return kMismatch;
    }
    XSync(display.Get(), False);
    return 0;
}

int Usage() {
    std::cerr << "usage: x11-probe crtc-ramp | crtc-set FILE | crtc-expect R G B FILE |\n"
                 "                 vidmode-ramp | vidmode-set FILE | vidmode-expect R G B FILE |\n"
                 "                 title WINDOW | close WINDOW\n";
    return kUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    const int operands = argc - 2;
    char** const args = argv + 2;
    if (operands == 0 && command == "crtc-ramp") {
        return CrtcRamp();
    }
    if (operands == 1 && command == "crtc-set") {
        return CrtcSet(args[0]);
    }
    if (operands == 4 && command == "crtc-expect") {
        return CrtcExpect(args);
    }
    if (operands == 0 && command == "vidmode-ramp") {
        return VidModeRamp();
    }
    if (operands == 1 && command == "vidmode-set") {
        return VidModeSet(args[0]);
    }
    if (operands == 4 && command == "vidmode-expect") {
        return VidModeExpect(args);
    }
    if (operands == 1 && command == "title") {
        return Title(args[0]);
    }
    if (operands == 1 && command == "close") {
        return Close(args[0]);
    }
    return Usage();
}
