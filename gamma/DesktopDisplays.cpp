#include "DesktopDisplays.h"

std::vector<std::wstring> DesktopDisplays(std::span<const DisplayEntry> entries) {
    std::vector<std::wstring> names;
    for (const bool primary : {true, false}) {
        for (const DisplayEntry& entry : entries) {
            if (entry.attachedToDesktop && !entry.mirroring && entry.primary == primary) {
                names.push_back(entry.name);
            }
        }
    }
    return names;
}
