#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "GammaRamp.h"

// One CRTC's gamma table as the server holds it: red, then green, then blue,
// each `levels` entries long.
struct CrtcTables {
    std::size_t levels = 0;
    std::vector<RampEntry> entries;

    bool operator==(const CrtcTables&) const = default;
};

// A CRTC's X resource id.
using CrtcId = unsigned long;

// The test's own view of the CRTC gamma of $DISPLAY's default screen,
// through XRandR directly and independent of the device under test. Kept
// apart from the test cases because Xlib's macros clash with GoogleTest's.
class ServerGamma {
public:
    ServerGamma();
    ServerGamma(const ServerGamma&) = delete;
    ServerGamma& operator=(const ServerGamma&) = delete;
    ~ServerGamma();

    bool Connected() const { return connection_ != nullptr; }
    const std::vector<CrtcId>& Crtcs() const { return crtcs_; }
    std::size_t Levels(CrtcId crtc) const;
    CrtcTables Read(CrtcId crtc) const;
    // Sets the CRTC's table and waits until the server has it.
    void Write(CrtcId crtc, const CrtcTables& tables) const;

private:
    struct Connection;
    std::unique_ptr<Connection> connection_;
    std::vector<CrtcId> crtcs_;
};
