// x11-probe: the end-to-end tests' eye on the X server's gamma, and their
// close box. Exit status 1 is a mismatch, 2 a usage error or no display.
//   outputs               a line per gamma table: name, levels, entries (red,
//                         green, blue); each output's CRTC, then the screen's
//                         XF86VidMode ramp "vidmode", where Wine puts a ramp
//   expect R G B LISTING [SHOWN]
//                         whether each table listed (as `outputs` prints; no
//                         entries: the identity) now holds what the program
//                         builds from it for offsets R G B (vidmode keeps the
//                         top 8 bits only), on the server or as SHOWN lists
//   close WINDOW          asks the window to close, as a close box does
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "GammaDevice.h"
#include "X11Resources.h"

namespace {

constexpr int kMismatch = 1;
constexpr int kUsage = 2;

// A gamma table on the server: an output's CRTC's, or the vidmode ramp.
struct ServerTable {
    std::string name;
    GammaTable table;
};

std::vector<ServerTable> ReadTables(Display* display) {
    const ScreenResourcesHandle resources(
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)));
    std::vector<ServerTable> tables;
    for (int i = 0; resources && i < resources->noutput; ++i) {
        const OutputInfoHandle info(
            XRRGetOutputInfo(display, resources.Get(), resources->outputs[i]));
        const CrtcGammaHandle gamma(
            info && info->crtc != None ? XRRGetCrtcGamma(display, info->crtc) : nullptr);
        if (gamma) {
            auto& [name, table] =
                tables.emplace_back(ServerTable{std::string(info->name, info->nameLen), {}});
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
        tables.push_back({"vidmode", ramp});
    }
    return tables;
}

GammaTable ReadEntries(std::istream& in) {
    GammaTable entries;
    for (unsigned long value = 0; in >> value && value <= 65535;) {
        entries.push_back(static_cast<RampEntry>(value));
    }
    return entries;
}

int Outputs(Display* display) {
    for (const auto& [name, table] : ReadTables(display)) {
        std::cout << name << ' ' << table.size() / kRampChannels;
        for (const RampEntry entry : table) {
            std::cout << ' ' << entry;
        }
        std::cout << '\n';
    }
    return 0;
}

std::vector<ServerTable> ReadListing(const char* path) {
    std::ifstream listing(path);
    std::vector<ServerTable> tables;
    for (std::string line; std::getline(listing, line);) {
        std::istringstream fields(line);
        std::size_t levels = 0;
        auto& [name, table] = tables.emplace_back();
        fields >> name >> levels;
        table = ReadEntries(fields);
        if (table.empty()) {
            table = IdentityTable(levels);
        }
    }
    return tables;
}

int Expect(Display* display, char* args[], const char* shownPath) {
    std::int16_t offsets[3] = {};
    for (int i = 0; i < 3; ++i) {
        const char* const end = args[i] + std::strlen(args[i]);
        if (std::from_chars(args[i], end, offsets[i]).ptr != end || std::abs(offsets[i]) > 100) {
            std::cerr << "x11-probe: " << args[i] << " is no offset -100..100\n";
            return kUsage;
        }
    }
    const auto listed = ReadListing(args[3]);
    const auto tables = shownPath != nullptr ? ReadListing(shownPath) : ReadTables(display);
    int differing = 0;
    for (const auto& [name, base] : listed) {
        const GammaTable expected = BuildOutputTable(base, offsets[0], offsets[1], offsets[2]);
        const auto found = std::ranges::find(tables, name, &ServerTable::name);
        const GammaTable shown = found != tables.end() ? found->table : GammaTable{};
        const int shift = name == "vidmode" ? 8 : 0;
        const auto top = [shift](RampEntry entry) { return entry >> shift; };
        const auto differs = std::ranges::mismatch(shown, expected, {}, top, top).in1;
        if (shown.size() != expected.size() || differs != shown.end()) {
            std::cerr << name << ": " << shown.size() << " entries, " << expected.size()
                      << " expected, the first " << differs - shown.begin() << " alike\n";
            ++differing;
        }
    }
    return listed.empty() || differing > 0 ? kMismatch : 0;
}

int Close(Display* display, const char* text) {
    char* end = nullptr;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(text, &end, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (end == text || *end != '\0' ||
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event) == 0) {
        std::cerr << "x11-probe: cannot send to window " << text << "\n";
        return kMismatch;
    }
    XSync(display, False);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        std::cerr << "x11-probe: cannot open the display\n";
        return kUsage;
    }
    if (command == "outputs" && argc == 2) {
        return Outputs(display.Get());
    }
    if (command == "expect" && (argc == 6 || argc == 7)) {
        return Expect(display.Get(), argv + 2, argc == 7 ? argv[6] : nullptr);
    }
    if (command == "close" && argc == 3) {
        return Close(display.Get(), argv[2]);
    }
    std::cerr << "usage: x11-probe outputs | expect R G B LISTING [SHOWN] | close WINDOW\n";
    return kUsage;
}
