#pragma once

#include <span>
#include <string>
#include <vector>

// One display device as the display enumeration reports it.
struct DisplayEntry {
    std::wstring name;  // as CreateDCW takes it, such as \\.\DISPLAY2
    bool attachedToDesktop = false;
    bool primary = false;
    // A pseudo-display that copies another's picture (remote desktop and
    // screen-sharing drivers); it has no gamma of its own.
    bool mirroring = false;
};

// The displays that show part of the desktop, the primary first and the
// others in the order given. Empty when none does.
std::vector<std::wstring> DesktopDisplays(std::span<const DisplayEntry> entries);
