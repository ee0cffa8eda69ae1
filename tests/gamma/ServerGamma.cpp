#include "ServerGamma.h"

#include <utility>

#include "X11Resources.h"

struct ServerGamma::Connection {
    DisplayHandle display;
};

ServerGamma::ServerGamma() {
    DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        return;
    }
    const ScreenResourcesHandle resources(
        XRRGetScreenResourcesCurrent(display.Get(), DefaultRootWindow(display.Get())));
    if (resources) {
        crtcs_.assign(resources->crtcs, resources->crtcs + resources->ncrtc);
    }
    connection_ = std::make_unique<Connection>(Connection{std::move(display)});
}

ServerGamma::~ServerGamma() = default;

std::size_t ServerGamma::Levels(CrtcId crtc) const {
    const int size = XRRGetCrtcGammaSize(connection_->display.Get(), crtc);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

CrtcTables ServerGamma::Read(CrtcId crtc) const {
    const CrtcGammaHandle gamma(XRRGetCrtcGamma(connection_->display.Get(), crtc));
    CrtcTables tables;
    if (!gamma) {
        return tables;
    }
    tables.levels = static_cast<std::size_t>(gamma->size);
    for (const unsigned short* channel : {gamma->red, gamma->green, gamma->blue}) {
        tables.entries.insert(tables.entries.end(), channel, channel + gamma->size);
    }
    return tables;
}

void ServerGamma::Write(CrtcId crtc, const CrtcTables& tables) const {
    const CrtcGammaHandle gamma(XRRAllocGamma(static_cast<int>(tables.levels)));
    if (!gamma || tables.entries.size() != 3 * tables.levels) {
        return;
    }
    for (std::size_t i = 0; i < tables.levels; ++i) {
        gamma->red[i] = tables.entries[i];
        gamma->green[i] = tables.entries[tables.levels + i];
        gamma->blue[i] = tables.entries[2 * tables.levels + i];
    }
    XRRSetCrtcGamma(connection_->display.Get(), crtc, gamma.Get());
    XSync(connection_->display.Get(), False);
}
